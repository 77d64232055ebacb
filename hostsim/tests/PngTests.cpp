// The PNG encoder and the screenshots.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "MessagePump.h"
#include "PngReader.h"
#include "Screenshot.h"

using outlooksim::Png;
using outlooksim::RgbImage;

namespace {

const uint8_t* Bytes(const char* text) { return reinterpret_cast<const uint8_t*>(text); }

RgbImage Gradient(int width, int height)
{
    RgbImage image{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.rgb.insert(image.rgb.end(),
                             {static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x ^ y)});
    return image;
}

} // namespace

TEST(Png, ChunkChecksumMatchesItsPublishedCheckValue)
{
    EXPECT_EQ(0xCBF43926u, Png::Crc32(Bytes("123456789"), 9));
    EXPECT_EQ(0xAE426082u, Png::Crc32(Bytes("IEND"), 4)) << "the CRC every PNG file ends with";
    // CRC-32 continues across pieces.
    EXPECT_EQ(Png::Crc32(Bytes("123456789"), 9), Png::Crc32(Bytes("6789"), 4, Png::Crc32(Bytes("12345"), 5)));
}

TEST(Png, EncodesRgbRowsCompressed)
{
    RgbImage small = Gradient(3, 2);
    hosttest::PngRead read = hosttest::ReadPng(Png::Encode(small));
    ASSERT_TRUE(read.ok) << read.problem;
    EXPECT_EQ(3, read.image.width);
    EXPECT_EQ(2, read.image.height);
    EXPECT_EQ(small.rgb, read.image.rgb);

    // Noise does not compress: more than one piece of the encoder's output.
    RgbImage noise{700, 600, {}};
    uint32_t seed = 12345;
    for (size_t i = 0; i < 700u * 600u * 3u; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise.rgb.push_back(static_cast<uint8_t>(seed >> 24));
    }
    read = hosttest::ReadPng(Png::Encode(noise));
    ASSERT_TRUE(read.ok) << read.problem;
    EXPECT_GT(read.compressedSize, size_t{1} << 20);
    EXPECT_EQ(noise.rgb, read.image.rgb);

    // A screen of one colour takes a few kilobytes instead of 2.3 MB.
    RgbImage flat{1024, 768, std::vector<uint8_t>(1024u * 768u * 3u, 0xC0)};
    std::vector<uint8_t> bytes = Png::Encode(flat);
    EXPECT_LT(bytes.size(), flat.rgb.size() / 100);
    read = hosttest::ReadPng(bytes);
    ASSERT_TRUE(read.ok) << read.problem;
    EXPECT_EQ(flat.rgb, read.image.rgb);

    // The reader is strict: a changed byte is noticed.
    bytes = Png::Encode(small);
    bytes[bytes.size() - 20] ^= 0x40;
    EXPECT_FALSE(hosttest::ReadPng(bytes).ok);
}

TEST(Png, RefusesAnImageWhoseSizeDoesNotMatchItsPixels)
{
    EXPECT_TRUE(Png::Encode(RgbImage{3, 2, std::vector<uint8_t>(17)}).empty());
    EXPECT_TRUE(Png::Encode(RgbImage{3, 2, std::vector<uint8_t>(21)}).empty());
    EXPECT_TRUE(Png::Encode(RgbImage{0, 0, {}}).empty());
    EXPECT_TRUE(Png::Encode(RgbImage{-1, -6, std::vector<uint8_t>(18)}).empty());

    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + L"corvane-png-refused.png";
    ::DeleteFileW(path.c_str());
    EXPECT_FALSE(Png::Write(path, RgbImage{3, 2, std::vector<uint8_t>(17)}));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(path.c_str())) << "no file for a refused image";
}

TEST(Screenshot, ShowsTheWindowsOfThisProcess)
{
    // A red window at a known place.
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = ::CreateSolidBrush(RGB(255, 0, 0));
    wc.lpszClassName = L"hostsimTestRed";
    ::RegisterClassExW(&wc);
    HWND red = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 100, 120, 200, 150,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, red);
    outlooksim::MessagePump::PumpFor(300);

    auto redAt = [](const RgbImage& image, int x, int y) {
        size_t at = (static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)) * 3;
        return image.rgb[at] == 255 && image.rgb[at + 1] == 0 && image.rgb[at + 2] == 0;
    };
    RgbImage windows = outlooksim::Screenshot::CaptureWindows();
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), windows.width);
    EXPECT_TRUE(redAt(windows, 200, 190));
    EXPECT_FALSE(redAt(windows, 50, 50));

    outlooksim::Screenshot::Source source{};
    RgbImage shot = outlooksim::Screenshot::Capture(&source);
    EXPECT_FALSE(outlooksim::Screenshot::IsBlank(shot));
    EXPECT_TRUE(redAt(shot, 200, 190)) << (source == outlooksim::Screenshot::Source::Screen ? "screen" : "windows");
    ::DestroyWindow(red);
    ::DeleteObject(wc.hbrBackground);

    RgbImage grey{2, 2, std::vector<uint8_t>(12, 0x80)};
    EXPECT_TRUE(outlooksim::Screenshot::IsBlank(grey));
    grey.rgb[7] = 0x81;
    EXPECT_FALSE(outlooksim::Screenshot::IsBlank(grey));
}
