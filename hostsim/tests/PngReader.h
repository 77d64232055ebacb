// Reads back the PNG files the host writes (8-bit RGB, stored deflate
// blocks), checking every length, checksum and field on the way; for the
// tests of the encoder and of the screenshots.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Png.h"

namespace hosttest {

struct PngRead {
    bool ok = false;
    std::string problem;
    outlooksim::RgbImage image;
    int storedBlocks = 0;
};

inline uint32_t Be32At(const std::vector<uint8_t>& b, size_t at)
{
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}

inline PngRead ReadPng(const std::vector<uint8_t>& bytes)
{
    PngRead r;
    auto fail = [&](std::string problem) {
        r.problem = std::move(problem);
        return r;
    };
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < 8 || !std::equal(signature, signature + 8, bytes.begin()))
        return fail("no PNG signature");
    std::vector<uint8_t> zlib;
    bool ended = false;
    for (size_t at = 8; at + 12 <= bytes.size() && !ended;) {
        uint32_t length = Be32At(bytes, at);
        if (at + 12 + length > bytes.size())
            return fail("chunk runs past the end");
        std::string type(bytes.begin() + at + 4, bytes.begin() + at + 8);
        if (outlooksim::Png::Crc32(&bytes[at + 4], length + 4) != Be32At(bytes, at + 8 + length))
            return fail("bad CRC in " + type);
        const uint8_t* data = &bytes[at + 8];
        if (type == "IHDR") {
            if (length != 13 || data[8] != 8 || data[9] != 2 || data[10] || data[11] || data[12])
                return fail("unexpected IHDR");
            r.image.width = static_cast<int>(Be32At(bytes, at + 8));
            r.image.height = static_cast<int>(Be32At(bytes, at + 12));
        } else if (type == "IDAT") {
            zlib.insert(zlib.end(), data, data + length);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    if (!ended)
        return fail("no IEND");
    if (zlib.size() < 6 || zlib[0] != 0x78 || (zlib[0] * 256 + zlib[1]) % 31 != 0)
        return fail("bad zlib header");
    std::vector<uint8_t> raw;
    size_t at = 2;
    for (bool last = false; !last;) {
        if (at + 5 > zlib.size())
            return fail("stored block runs past the end");
        last = zlib[at] & 1;
        if ((zlib[at] >> 1) != 0)
            return fail("not a stored block");
        uint16_t len = static_cast<uint16_t>(zlib[at + 1] | (zlib[at + 2] << 8));
        uint16_t nlen = static_cast<uint16_t>(zlib[at + 3] | (zlib[at + 4] << 8));
        if (static_cast<uint16_t>(~len) != nlen || at + 5 + len > zlib.size())
            return fail("bad stored block length");
        raw.insert(raw.end(), zlib.begin() + at + 5, zlib.begin() + at + 5 + len);
        at += 5 + len;
        ++r.storedBlocks;
    }
    if (at + 4 != zlib.size() || Be32At(zlib, at) != outlooksim::Png::Adler32(raw.data(), raw.size()))
        return fail("bad Adler-32");
    const size_t row = static_cast<size_t>(r.image.width) * 3;
    if (raw.size() != (row + 1) * static_cast<size_t>(r.image.height))
        return fail("wrong amount of image data");
    for (int y = 0; y < r.image.height; ++y) {
        if (raw[y * (row + 1)] != 0)
            return fail("a row with a filter");
        r.image.rgb.insert(r.image.rgb.end(), raw.begin() + y * (row + 1) + 1, raw.begin() + (y + 1) * (row + 1));
    }
    r.ok = true;
    return r;
}

} // namespace hosttest
