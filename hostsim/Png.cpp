#include "Png.h"

#include <windows.h>

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>

namespace outlooksim {

namespace {

void Be32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data)
{
    Be32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Be32(out, Png::Crc32(out.data() + start, out.size() - start));
}

// The image data as one zlib stream. zlib counts in 32 bits, so the input
// goes in in pieces and the output comes out in pieces; empty on failure.
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw)
{
    constexpr size_t kPiece = size_t{1} << 20;
    z_stream z{};
    if (::deflateInit(&z, Z_BEST_COMPRESSION) != Z_OK)
        return {};
    std::vector<uint8_t> out;
    size_t fed = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (z.avail_in == 0 && fed < raw.size()) {
            size_t n = std::min(kPiece, raw.size() - fed);
            z.next_in = raw.data() + fed;
            z.avail_in = static_cast<uInt>(n);
            fed += n;
        }
        size_t used = out.size();
        out.resize(used + kPiece);
        z.next_out = out.data() + used;
        z.avail_out = static_cast<uInt>(kPiece);
        status = ::deflate(&z, fed == raw.size() ? Z_FINISH : Z_NO_FLUSH);
        out.resize(used + kPiece - z.avail_out);
    }
    ::deflateEnd(&z);
    if (status != Z_STREAM_END)
        return {};
    out.shrink_to_fit();
    return out;
}

} // namespace

uint32_t Png::Crc32(const uint8_t* data, size_t size, uint32_t crc) noexcept
{
    return static_cast<uint32_t>(::crc32_z(crc, data, size));
}

std::vector<uint8_t> Png::Encode(const RgbImage& image)
{
    if (image.width <= 0 || image.height <= 0)
        return {};
    const size_t row = static_cast<size_t>(image.width) * 3;
    if (image.rgb.size() / row != static_cast<size_t>(image.height) || image.rgb.size() % row != 0)
        return {};

    std::vector<uint8_t> raw;
    raw.reserve((row + 1) * static_cast<size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0); // filter: none
        auto start = image.rgb.begin() + static_cast<std::ptrdiff_t>(row * static_cast<size_t>(y));
        raw.insert(raw.end(), start, start + static_cast<std::ptrdiff_t>(row));
    }
    std::vector<uint8_t> compressed = Deflate(raw);
    if (compressed.empty())
        return {};

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    Be32(header, static_cast<uint32_t>(image.width));
    Be32(header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, RGB, deflate, no filter, not interlaced
    Chunk(out, "IHDR", header);
    Chunk(out, "IDAT", compressed);
    Chunk(out, "IEND", {});
    return out;
}

bool Png::Write(const std::wstring& path, const RgbImage& image)
{
    std::vector<uint8_t> bytes = Encode(image);
    if (bytes.empty())
        return false;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

} // namespace outlooksim
