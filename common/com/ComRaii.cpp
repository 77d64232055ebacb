#include "com/ComRaii.h"

#include <algorithm>
#include <cwchar>

namespace com {

std::wstring Widen(std::string_view text)
{
    if (text.empty())
        return {};
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

namespace {

std::string Encode(UINT codePage, std::wstring_view text)
{
    if (text.empty())
        return {};
    int n =
        ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

} // namespace

std::string Narrow(std::wstring_view text) { return Encode(CP_ACP, text); }

std::string ToUtf8(std::wstring_view text) { return Encode(CP_UTF8, text); }

// What CompareStringOrdinal with bIgnoreCase does (Microsoft's [MS-UCODEREF]
// 3.1.5.5.1: both strings upper-cased, then compared code unit by code unit),
// with what Windows 2000 and XP have: LCMapStringW with LOCALE_INVARIANT and
// LCMAP_UPPERCASE maps each UTF-16 code unit to one code unit, whatever the
// user's language (no Turkish dotless I). So the strings are mapped and
// compared in pieces of a fixed size, without allocating.
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    constexpr size_t kPiece = 64;
    wchar_t upperA[kPiece], upperB[kPiece];
    for (size_t at = 0; at < a.size(); at += kPiece) {
        const int n = static_cast<int>(std::min(kPiece, a.size() - at));
        if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, a.data() + at, n, upperA, n) != n ||
            ::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, b.data() + at, n, upperB, n) != n)
            return false;
        if (std::wmemcmp(upperA, upperB, static_cast<size_t>(n)) != 0)
            return false;
    }
    return true;
}

Bstr Bstr::FromAnsi(std::string_view text) { return Bstr(Widen(text)); }

std::string Bstr::ansi() const { return Narrow(view()); }

std::wstring Variant::ToString(std::wstring_view fallback) const
{
    Variant v;
    if (FAILED(::VariantChangeType(&v, const_cast<Variant*>(this), 0, VT_BSTR)))
        return std::wstring(fallback);
    return std::wstring(v.bstrVal ? v.bstrVal : L"", ::SysStringLen(v.bstrVal));
}

long Variant::ToLong(long fallback) const
{
    Variant v;
    if (FAILED(::VariantChangeType(&v, const_cast<Variant*>(this), 0, VT_I4)))
        return fallback;
    return v.lVal;
}

bool Variant::ToBool(bool fallback) const
{
    Variant v;
    if (FAILED(::VariantChangeType(&v, const_cast<Variant*>(this), 0, VT_BOOL)))
        return fallback;
    return v.boolVal != VARIANT_FALSE;
}

ComPtr<IDispatch> Variant::ToDispatch() const
{
    const VARIANT* v = this;
    VARTYPE type = v->vt;
    IUnknown* unknown = nullptr;
    if (type == VT_DISPATCH)
        unknown = v->pdispVal;
    else if (type == VT_UNKNOWN)
        unknown = v->punkVal;
    else if (type == (VT_DISPATCH | VT_BYREF) && v->ppdispVal)
        unknown = *v->ppdispVal;
    else if (type == (VT_UNKNOWN | VT_BYREF) && v->ppunkVal)
        unknown = *v->ppunkVal;
    else if (type == (VT_VARIANT | VT_BYREF) && v->pvarVal)
        return static_cast<const Variant*>(v->pvarVal)->ToDispatch();
    ComPtr<IDispatch> out;
    if (unknown)
        unknown->QueryInterface(IID_PPV_ARGS(&out));
    return out;
}

} // namespace com
