// Screenshots for the demo and the tests: the whole screen through the
// screen DC; when that reads black (some X servers give the desktop DC no
// contents), the process's visible top-level windows drawn with PrintWindow
// onto a desktop-coloured canvas.
#pragma once

#include "Png.h"

namespace outlooksim {

class Screenshot {
  public:
    enum class Source { Screen, Windows };

    static RgbImage CaptureScreen();
    static RgbImage CaptureWindows();
    // The screen, or the windows when the screen is blank; says which.
    static RgbImage Capture(Source* source = nullptr);
    // True when every pixel has the same colour.
    static bool IsBlank(const RgbImage& image) noexcept;
};

} // namespace outlooksim
