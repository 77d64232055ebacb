// RAII owners for the Windows and OLE resources the components handle:
// BSTR, VARIANT, SAFEARRAY, and every handle type through one template.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include <wrl/client.h>

namespace com {

using Microsoft::WRL::ComPtr;

// A handle owner in the manner of unique_ptr: one line per handle type.
// put() frees the old handle before handing out its address, so that
// `RegOpenKeyExA(..., key.put())` cannot leak.
// What counts as "no handle" is a policy: null by default, or
// INVALID_HANDLE_VALUE for file handles.
struct NullIsInvalid {
    template <typename T>
    static T Invalid() noexcept
    {
        return T{};
    }
};
struct MinusOneIsInvalid {
    template <typename T>
    static T Invalid() noexcept
    {
        return reinterpret_cast<T>(static_cast<intptr_t>(-1));
    }
};

template <typename T, auto Close, typename Policy = NullIsInvalid>
class UniqueAny {
    static T Invalid() noexcept { return Policy::template Invalid<T>(); }

  public:
    UniqueAny() noexcept = default;
    explicit UniqueAny(T value) noexcept : m_value(value) {}
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : m_value(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueAny() { reset(); }

    T get() const noexcept { return m_value; }
    explicit operator bool() const noexcept { return m_value != Invalid(); }
    T* put() noexcept
    {
        reset();
        return &m_value;
    }
    T release() noexcept { return std::exchange(m_value, Invalid()); }
    void reset(T value = Invalid()) noexcept
    {
        T old = std::exchange(m_value, value);
        if (old != Invalid())
            Close(old);
    }

  private:
    T m_value = Invalid();
};

namespace detail {
inline void CloseHandleNoResult(HANDLE h) noexcept { ::CloseHandle(h); }
inline void RegCloseKeyNoResult(HKEY h) noexcept { ::RegCloseKey(h); }
inline void DeleteObjectNoResult(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void DestroyIconNoResult(HICON h) noexcept { ::DestroyIcon(h); }
inline void DestroyCursorNoResult(HCURSOR h) noexcept { ::DestroyCursor(h); }
inline void DestroyWindowNoResult(HWND h) noexcept { ::DestroyWindow(h); }
inline void FreeLibraryNoResult(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void DeleteDcNoResult(HDC h) noexcept { ::DeleteDC(h); }
inline void SafeArrayDestroyNoResult(SAFEARRAY* a) noexcept { ::SafeArrayDestroy(a); }
inline void FindCloseNoResult(HANDLE h) noexcept { ::FindClose(h); }
} // namespace detail

using UniqueHandle = UniqueAny<HANDLE, detail::CloseHandleNoResult>;
using UniqueFileHandle = UniqueAny<HANDLE, detail::CloseHandleNoResult, MinusOneIsInvalid>;
using UniqueFindHandle = UniqueAny<HANDLE, detail::FindCloseNoResult, MinusOneIsInvalid>;
using UniqueHKey = UniqueAny<HKEY, detail::RegCloseKeyNoResult>;
using UniqueHBitmap = UniqueAny<HBITMAP, detail::DeleteObjectNoResult>;
using UniqueHFont = UniqueAny<HFONT, detail::DeleteObjectNoResult>;
using UniqueHBrush = UniqueAny<HBRUSH, detail::DeleteObjectNoResult>;
using UniqueHIcon = UniqueAny<HICON, detail::DestroyIconNoResult>;
using UniqueHCursor = UniqueAny<HCURSOR, detail::DestroyCursorNoResult>;
using UniqueHWnd = UniqueAny<HWND, detail::DestroyWindowNoResult>;
using UniqueHModule = UniqueAny<HMODULE, detail::FreeLibraryNoResult>;
using UniqueHdc = UniqueAny<HDC, detail::DeleteDcNoResult>;
using UniqueSafeArray = UniqueAny<SAFEARRAY*, detail::SafeArrayDestroyNoResult>;

// An owned BSTR. A null BSTR is the empty string, as in OLE Automation.
class Bstr {
  public:
    Bstr() noexcept = default;
    // A text that cannot be copied throws std::bad_alloc, as a string does:
    // a null BSTR would pass for an empty text and be saved as one.
    Bstr(std::wstring_view text) : m_value(Copy(text.data(), text.size())) {}
    Bstr(const wchar_t* text) : Bstr(std::wstring_view(text ? text : L"")) {}
    static Bstr FromAnsi(std::string_view text);
    static Bstr Attach(BSTR value) noexcept
    {
        Bstr b;
        b.m_value = value;
        return b;
    }
    Bstr(const Bstr& other) : m_value(other.m_value ? Copy(other.m_value, other.length()) : nullptr) {}
    Bstr& operator=(const Bstr& other)
    {
        if (this != &other)
            *this = Bstr(other);
        return *this;
    }
    Bstr(Bstr&& other) noexcept : m_value(std::exchange(other.m_value, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept
    {
        if (this != &other) {
            ::SysFreeString(m_value);
            m_value = std::exchange(other.m_value, nullptr);
        }
        return *this;
    }
    ~Bstr() { ::SysFreeString(m_value); }

    BSTR get() const noexcept { return m_value; }
    BSTR* put() noexcept
    {
        ::SysFreeString(m_value);
        m_value = nullptr;
        return &m_value;
    }
    BSTR release() noexcept { return std::exchange(m_value, nullptr); }
    UINT length() const noexcept { return ::SysStringLen(m_value); }
    bool empty() const noexcept { return length() == 0; }
    std::wstring_view view() const noexcept { return {m_value ? m_value : L"", length()}; }
    std::wstring str() const { return std::wstring(view()); }
    std::string ansi() const;

  private:
    static BSTR Copy(const wchar_t* text, size_t length)
    {
        BSTR value = ::SysAllocStringLen(text, static_cast<UINT>(length));
        if (!value)
            throw std::bad_alloc();
        return value;
    }

    BSTR m_value = nullptr;
};

// Conversions between the system's ANSI code page and UTF-16.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);
// UTF-16 as UTF-8: every character survives, whatever its script.
std::string ToUtf8(std::wstring_view text);

// Equal but for letter case (ordinal, as keys and names are compared).
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) noexcept;

// An owned VARIANT, cleared on destruction.
class Variant : public VARIANT {
  public:
    Variant() noexcept { ::VariantInit(this); }
    Variant(const VARIANT& other) : Variant() { Copy(other); }
    Variant(const Variant& other) : Variant() { Copy(other); }
    Variant(Variant&& other) noexcept : Variant()
    {
        std::swap(static_cast<VARIANT&>(*this), static_cast<VARIANT&>(other));
    }
    Variant& operator=(const Variant& other)
    {
        if (this != &other) {
            Clear();
            Copy(other);
        }
        return *this;
    }
    Variant& operator=(Variant&& other) noexcept
    {
        std::swap(static_cast<VARIANT&>(*this), static_cast<VARIANT&>(other));
        return *this;
    }
    ~Variant() { ::VariantClear(this); }

    Variant(bool value) noexcept : Variant()
    {
        vt = VT_BOOL;
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    Variant(long value) noexcept : Variant()
    {
        vt = VT_I4;
        lVal = value;
    }
    Variant(int value) noexcept : Variant(static_cast<long>(value)) {}
    Variant(short value) noexcept : Variant()
    {
        vt = VT_I2;
        iVal = value;
    }
    Variant(double value) noexcept : Variant()
    {
        vt = VT_R8;
        dblVal = value;
    }
    Variant(std::wstring_view text) : Variant()
    {
        vt = VT_BSTR;
        bstrVal = Bstr(text).release();
    }
    Variant(const wchar_t* text) : Variant(std::wstring_view(text ? text : L"")) {}
    // An object reference (VT_DISPATCH); the variant holds its own reference.
    explicit Variant(IDispatch* object) noexcept : Variant()
    {
        vt = VT_DISPATCH;
        pdispVal = object;
        if (object)
            object->AddRef();
    }
    explicit Variant(IUnknown* object) noexcept : Variant()
    {
        vt = VT_UNKNOWN;
        punkVal = object;
        if (object)
            object->AddRef();
    }
    // The "missing" marker of an omitted optional argument.
    static Variant Missing() noexcept
    {
        Variant v;
        v.vt = VT_ERROR;
        v.scode = DISP_E_PARAMNOTFOUND;
        return v;
    }

    void Clear() noexcept { ::VariantClear(this); }
    // For an out parameter: the old content is released before the address
    // is handed out, so that `enumerator->Next(1, item.put(), nullptr)` in a
    // loop cannot leak.
    VARIANT* put() noexcept
    {
        Clear();
        return this;
    }
    VARIANT Detach() noexcept
    {
        VARIANT out = *this;
        ::VariantInit(this);
        return out;
    }
    bool IsEmpty() const noexcept { return vt == VT_EMPTY; }
    // Copies another variant, dereferencing VT_BYREF values.
    HRESULT Copy(const VARIANT& other) noexcept { return ::VariantCopyInd(this, const_cast<VARIANT*>(&other)); }
    // Conversions through VariantChangeType; a failed conversion yields the fallback.
    std::wstring ToString(std::wstring_view fallback = {}) const;
    long ToLong(long fallback = 0) const;
    bool ToBool(bool fallback = false) const;
    // The object held (VT_DISPATCH or VT_UNKNOWN, also by reference), queried for IDispatch.
    ComPtr<IDispatch> ToDispatch() const;
};

} // namespace com
