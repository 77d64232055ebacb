#include "FontSet.h"

#include <cwchar>

namespace ui {

com::UniqueHFont MakeFont(const FontDesign& design, const Twips& twips) noexcept
{
    LOGFONTW lf{};
    lf.lfHeight = twips.FontHeight(design.points);
    lf.lfWeight = design.weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = design.pitchAndFamily;
    std::wcsncpy(lf.lfFaceName, design.face, LF_FACESIZE - 1);
    return com::UniqueHFont(::CreateFontIndirectW(&lf));
}

void FontSet::Make(std::span<const FontDesign> designs, const Twips& twips) noexcept
{
    for (size_t i = 0; i < kMaxFonts; ++i)
        m_fonts[i] = i < designs.size() ? MakeFont(designs[i], twips) : com::UniqueHFont();
}

HFONT FontSet::operator[](int index) const noexcept
{
    if (index < 0 || static_cast<size_t>(index) >= kMaxFonts)
        return nullptr;
    return m_fonts[index].get();
}

} // namespace ui
