#include "Twips.h"

#include <cmath>

Twips::Twips() noexcept : m_dpiX(96), m_dpiY(96)
{
    if (HDC screen = ::GetDC(nullptr)) {
        const int x = ::GetDeviceCaps(screen, LOGPIXELSX);
        const int y = ::GetDeviceCaps(screen, LOGPIXELSY);
        if (x > 0)
            m_dpiX = x;
        if (y > 0)
            m_dpiY = y;
        ::ReleaseDC(nullptr, screen);
    }
}

Twips::Twips(int dpiX, int dpiY) noexcept : m_dpiX(dpiX > 0 ? dpiX : 96), m_dpiY(dpiY > 0 ? dpiY : 96) {}

int Twips::ToPixelsX(double twips) const noexcept { return static_cast<int>(std::lround(twips * m_dpiX / kPerInch)); }

int Twips::ToPixelsY(double twips) const noexcept { return static_cast<int>(std::lround(twips * m_dpiY / kPerInch)); }

RECT Twips::ToPixels(int left, int top, int width, int height) const noexcept
{
    const int x = ToPixelsX(left);
    const int y = ToPixelsY(top);
    return RECT{x, y, x + ToPixelsX(width), y + ToPixelsY(height)};
}

int Twips::FontHeight(double points) const noexcept { return -static_cast<int>(std::lround(points * m_dpiY / 72.0)); }
