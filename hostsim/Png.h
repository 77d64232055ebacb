// A PNG encoder for screenshots: 8-bit RGB, every row unfiltered, the
// image data in stored (uncompressed) deflate blocks inside a zlib stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace outlooksim {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // width * height * 3 bytes, top row first
};

class Png {
  public:
    static std::vector<uint8_t> Encode(const RgbImage& image);
    static bool Write(const std::wstring& path, const RgbImage& image);

    static uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) noexcept;
    static uint32_t Adler32(const uint8_t* data, size_t size) noexcept;
};

} // namespace outlooksim
