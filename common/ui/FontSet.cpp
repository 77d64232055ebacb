#include "FontSet.h"

#include <cwchar>

namespace ui
{

com::UniqueHFont MakeFont(const FontSpec& spec, const Twips& twips) noexcept
{
    LOGFONTW lf{};
    lf.lfHeight = twips.FontHeight(spec.points);
    lf.lfWeight = spec.weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = spec.pitchAndFamily;
    std::wcsncpy(lf.lfFaceName, spec.face, LF_FACESIZE - 1);
    return com::UniqueHFont(::CreateFontIndirectW(&lf));
}

void FontSet::Make(std::span<const FontSpec> specs, const Twips& twips) noexcept
{
    for (size_t i = 0; i < kMaxFonts; ++i)
        m_fonts[i] = i < specs.size() ? MakeFont(specs[i], twips) : com::UniqueHFont();
}

HFONT FontSet::operator[](int index) const noexcept
{
    if (index < 0 || static_cast<size_t>(index) >= kMaxFonts)
        return nullptr;
    return m_fonts[index].get();
}

} // namespace ui
