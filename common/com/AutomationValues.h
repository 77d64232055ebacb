// Small helpers for the accessors of automation objects: out parameters
// that check their pointer, BSTR text and VARIANT_BOOL flags.
#pragma once

#include <oleauto.h>

#include <cstddef>
#include <string>

#include "com/ComRaii.h"

namespace com {

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
template <class I, class V>
HRESULT Out(I** out, V* value) noexcept
{
    if (!out)
        return E_POINTER;
    *out = static_cast<I*>(value);
    if (*out)
        (*out)->AddRef();
    return S_OK;
}

// The object a ComPtr holds, handed out the same way.
template <class I, class T>
HRESULT Out(I** out, const ComPtr<T>& value) noexcept
{
    return Out(out, value.Get());
}

// No object: Nothing.
template <class I>
HRESULT Out(I** out, std::nullptr_t) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return S_OK;
}

inline std::wstring Text(BSTR value) { return std::wstring(value ? value : L"", ::SysStringLen(value)); }

inline bool Flag(VARIANT_BOOL value) noexcept { return value != VARIANT_FALSE; }

} // namespace com
