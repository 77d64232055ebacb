// Reads back the PNG files the host writes (8-bit RGB, unfiltered rows,
// compressed by zlib), checking every length, checksum and field on the way;
// for the tests of the encoder and of the screenshots.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

#include "Png.h"

namespace hosttest {

struct PngRead {
    bool ok = false;
    std::string problem;
    outlooksim::RgbImage image;
    size_t compressedSize = 0; // of the zlib stream in the IDAT chunks
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
    // The IDAT data is one zlib stream and nothing after it. Its room is one
    // byte larger than the image data, so that a stream that holds more is
    // noticed.
    const size_t row = static_cast<size_t>(r.image.width) * 3;
    std::vector<uint8_t> raw((row + 1) * static_cast<size_t>(r.image.height) + 1);
    uLongf rawSize = static_cast<uLongf>(raw.size());
    uLong zlibSize = static_cast<uLong>(zlib.size());
    int status = ::uncompress2(raw.data(), &rawSize, zlib.data(), &zlibSize);
    if (status != Z_OK)
        return fail("zlib error " + std::to_string(status));
    if (zlibSize != zlib.size())
        return fail("data after the zlib stream");
    r.compressedSize = zlib.size();
    raw.resize(rawSize);
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
