#include "Screenshot.h"

#include <windows.h>

#include <vector>

#include "com/ComRaii.h"

namespace outlooksim {

namespace {

// A top-down 32-bit DIB section selected into a memory DC.
class Canvas {
  public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        m_dc.reset(::CreateCompatibleDC(nullptr));
        m_bitmap.reset(
            ::CreateDIBSection(m_dc.get(), &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0));
        if (m_bitmap)
            m_old = ::SelectObject(m_dc.get(), m_bitmap.get());
    }
    ~Canvas()
    {
        if (m_old)
            ::SelectObject(m_dc.get(), m_old);
    }
    HDC Dc() const noexcept { return m_dc.get(); }
    bool Ok() const noexcept { return m_bits != nullptr; }

    RgbImage ToImage() const
    {
        RgbImage image{m_width, m_height, {}};
        if (!m_bits)
            return image;
        ::GdiFlush();
        image.rgb.resize(static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 3);
        for (size_t i = 0, n = static_cast<size_t>(m_width) * static_cast<size_t>(m_height); i < n; ++i) {
            image.rgb[3 * i] = m_bits[4 * i + 2];
            image.rgb[3 * i + 1] = m_bits[4 * i + 1];
            image.rgb[3 * i + 2] = m_bits[4 * i];
        }
        return image;
    }

  private:
    int m_width;
    int m_height;
    com::UniqueHdc m_dc;
    com::UniqueHBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
    uint8_t* m_bits = nullptr;
};

BOOL CALLBACK CollectOwnWindows(HWND hwnd, LPARAM param)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(hwnd) && !::IsIconic(hwnd))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

} // namespace

RgbImage Screenshot::CaptureScreen()
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    Canvas canvas(width, height);
    HDC screen = ::GetDC(nullptr);
    if (canvas.Ok() && screen)
        ::BitBlt(canvas.Dc(), 0, 0, width, height, screen, 0, 0, SRCCOPY);
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return canvas.ToImage();
}

RgbImage Screenshot::CaptureWindows()
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    Canvas canvas(width, height);
    if (!canvas.Ok())
        return canvas.ToImage();
    RECT all{0, 0, width, height};
    ::FillRect(canvas.Dc(), &all, ::GetSysColorBrush(COLOR_DESKTOP));
    std::vector<HWND> windows; // in z-order, the topmost first
    ::EnumWindows(&CollectOwnWindows, reinterpret_cast<LPARAM>(&windows));
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        RECT rc{};
        ::GetWindowRect(*it, &rc);
        Canvas window(rc.right - rc.left, rc.bottom - rc.top);
        if (!window.Ok() || !::PrintWindow(*it, window.Dc(), 0))
            continue;
        ::BitBlt(canvas.Dc(), rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, window.Dc(), 0, 0, SRCCOPY);
    }
    return canvas.ToImage();
}

RgbImage Screenshot::Capture(Source* source)
{
    RgbImage image = CaptureScreen();
    bool blank = IsBlank(image);
    if (source)
        *source = blank ? Source::Windows : Source::Screen;
    return blank ? CaptureWindows() : image;
}

bool Screenshot::IsBlank(const RgbImage& image) noexcept
{
    for (size_t i = 3; i < image.rgb.size(); ++i)
        if (image.rgb[i] != image.rgb[i % 3])
            return false;
    return true;
}

} // namespace outlooksim
