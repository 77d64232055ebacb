// The fonts of a window, made in one place from a table of faces and sizes
// in points at the window's DPI, and made again when its DPI changes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>

#include "Twips.h"
#include "com/ComRaii.h"

namespace ui {

struct FontDesign {
    const wchar_t* face;
    double points;
    int weight; // FW_NORMAL, FW_BOLD
    BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
};

// A font of the given face and size in points, at the converter's DPI.
com::UniqueHFont MakeFont(const FontDesign& design, const Twips& twips) noexcept;

class FontSet {
  public:
    static constexpr size_t kMaxFonts = 4;

    // Makes one font per entry (at most kMaxFonts); the old ones go. A font
    // that cannot be made is null, and its controls keep the system's.
    void Make(std::span<const FontDesign> designs, const Twips& twips) noexcept;
    // The font of the entry, or null for an index that names none.
    HFONT operator[](int index) const noexcept;

  private:
    com::UniqueHFont m_fonts[kMaxFonts];
};

} // namespace ui
