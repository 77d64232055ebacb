// Late binding: get, put, put by reference and call members by name through
// IDispatch, the way the add-in talks to Outlook and to the property page.
// Every function returns the HRESULT of the call; when the callee raised an
// exception (DISP_E_EXCEPTION), the HRESULT is the exception's code and its
// description is stored in *description if asked for.
#pragma once

#include <oaidl.h>

#include <initializer_list>
#include <string>

#include "com/ComRaii.h"

namespace com {

HRESULT DispIdOf(IDispatch* object, const wchar_t* name, DISPID* id) noexcept;

// args in their natural order (first argument first).
HRESULT InvokeByName(IDispatch* object, const wchar_t* name, WORD flags, const Variant* args, size_t count,
                     Variant* result, std::wstring* description = nullptr) noexcept;

HRESULT GetProperty(IDispatch* object, const wchar_t* name, Variant* result, std::initializer_list<Variant> args = {},
                    std::wstring* description = nullptr) noexcept;
HRESULT PutProperty(IDispatch* object, const wchar_t* name, const Variant& value,
                    std::wstring* description = nullptr) noexcept;
HRESULT PutPropertyRef(IDispatch* object, const wchar_t* name, IDispatch* value,
                       std::wstring* description = nullptr) noexcept;
HRESULT CallMethod(IDispatch* object, const wchar_t* name, std::initializer_list<Variant> args = {},
                   Variant* result = nullptr, std::wstring* description = nullptr) noexcept;

// Convenience: a property that is an object; null on any failure.
ComPtr<IDispatch> GetObjectProperty(IDispatch* object, const wchar_t* name,
                                    std::initializer_list<Variant> args = {}) noexcept;

} // namespace com
