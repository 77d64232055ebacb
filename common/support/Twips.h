// Layouts are designed in twips (1440 per inch). Twips converts them into
// pixels with the screen's real resolution, read once when it is made.
#pragma once

#include <windows.h>

class Twips {
  public:
    static constexpr int kPerInch = 1440;

    // The screen's pixels per inch.
    Twips() noexcept;
    Twips(int dpiX, int dpiY) noexcept : m_dpiX(dpiX), m_dpiY(dpiY) {}

    int X(int twips) const noexcept { return ::MulDiv(twips, m_dpiX, kPerInch); }
    int Y(int twips) const noexcept { return ::MulDiv(twips, m_dpiY, kPerInch); }
    // Twips of a horizontal pixel distance.
    int FromX(int pixels) const noexcept { return ::MulDiv(pixels, kPerInch, m_dpiX); }
    int FromY(int pixels) const noexcept { return ::MulDiv(pixels, kPerInch, m_dpiY); }
    // Horizontal twips per pixel, as a whole number (15 at 96 pixels per inch).
    int PerPixelX() const noexcept { return kPerInch / m_dpiX; }
    // A rectangle given as left, top, width and height in twips.
    RECT Rect(int left, int top, int width, int height) const noexcept
    {
        return RECT{X(left), Y(top), X(left + width), Y(top + height)};
    }
    // The height of a font of this many hundredths of a point, for LOGFONT.
    int FontHeight(int hundredthsOfPoint) const noexcept { return -::MulDiv(hundredthsOfPoint, m_dpiY, 7200); }

  private:
    int m_dpiX;
    int m_dpiY;
};
