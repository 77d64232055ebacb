// Form layouts are designed in twips (1/1440 inch). A Twips object converts
// them with the screen's real pixels per inch, read once when it is made, so
// a form keeps its proportions on a high-DPI screen.
#pragma once

#include <windows.h>

class Twips {
  public:
    static constexpr int kPerInch = 1440;

    // The screen's pixels per inch.
    Twips() noexcept;
    Twips(int dpiX, int dpiY) noexcept;

    int DpiX() const noexcept { return m_dpiX; }
    int DpiY() const noexcept { return m_dpiY; }
    // Twips per pixel: 15 at 96 pixels per inch.
    double PerPixelX() const noexcept { return static_cast<double>(kPerInch) / m_dpiX; }
    double PerPixelY() const noexcept { return static_cast<double>(kPerInch) / m_dpiY; }

    // Rounded to the nearest pixel.
    int ToPixelsX(double twips) const noexcept;
    int ToPixelsY(double twips) const noexcept;
    double ToTwipsX(int pixels) const noexcept { return pixels * PerPixelX(); }
    double ToTwipsY(int pixels) const noexcept { return pixels * PerPixelY(); }
    // A design rectangle (left, top, width, height in twips) in pixels.
    RECT ToPixels(int left, int top, int width, int height) const noexcept;
    // The height of a font of the given size in points, as LOGFONT wants it.
    int FontHeight(double points) const noexcept;

  private:
    int m_dpiX;
    int m_dpiY;
};
