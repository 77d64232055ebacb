// Small helpers for property accessors of the add-in's automation objects.
#pragma once

#include <oleauto.h>

#include <string>

#include "com/ComRaii.h"

namespace automation {

inline HRESULT Out(VARIANT_BOOL* out, bool value) noexcept
{
    if (!out)
        return E_POINTER;
    *out = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

inline HRESULT Out(long* out, long value) noexcept
{
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}

inline HRESULT Out(BSTR* out, const std::wstring& value) noexcept
{
    if (!out)
        return E_POINTER;
    *out = ::SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out || value.empty() ? S_OK : E_OUTOFMEMORY;
}

// An interface pointer handed out with its own reference (null allowed).
template <class I>
HRESULT Out(I** out, I* value) noexcept
{
    if (!out)
        return E_POINTER;
    *out = value;
    if (value)
        value->AddRef();
    return S_OK;
}

inline std::wstring Text(BSTR value) { return std::wstring(value ? value : L"", ::SysStringLen(value)); }

inline bool Flag(VARIANT_BOOL value) noexcept { return value != VARIANT_FALSE; }

} // namespace automation
