// A PNG encoder for screenshots: 8-bit RGB, every row unfiltered, the
// image data compressed by zlib (deflate).
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
    // The file's bytes; empty when the image is not one (a size that does
    // not match its pixels) or zlib fails.
    static std::vector<uint8_t> Encode(const RgbImage& image);
    static bool Write(const std::wstring& path, const RgbImage& image);

    // The CRC-32 of PNG chunks; `crc` continues an earlier result.
    static uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) noexcept;
};

} // namespace outlooksim
