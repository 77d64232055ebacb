#include "com/LateBound.h"

#include <vector>

#include "com/ComError.h"

namespace com {

static_assert(sizeof(Variant) == sizeof(VARIANT), "Variant must stay layout-compatible with VARIANT");

HRESULT DispIdOf(IDispatch* object, const wchar_t* name, DISPID* id) noexcept
{
    if (!object || !name || !id)
        return E_POINTER;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

HRESULT InvokeByName(IDispatch* object, const wchar_t* name, WORD flags, const Variant* args, size_t count,
                     Variant* result, std::wstring* description) noexcept
{
    if (description)
        description->clear();
    if (result)
        result->Clear();
    return CatchReturn([&]() -> HRESULT {
        DISPID id = DISPID_UNKNOWN;
        HRESULT hr = DispIdOf(object, name, &id);
        if (FAILED(hr))
            return hr;
        std::vector<VARIANT> reversed(count);
        for (size_t i = 0; i < count; ++i)
            reversed[count - 1 - i] = args[i];
        DISPID putId = DISPID_PROPERTYPUT;
        bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), put ? &putId : nullptr,
                          static_cast<UINT>(count), put ? 1u : 0u};
        EXCEPINFO excep{};
        UINT argErr = 0;
        Variant ignored;
        hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result ? result : &ignored, &excep,
                            &argErr);
        if (hr == DISP_E_EXCEPTION) {
            if (excep.pfnDeferredFillIn)
                excep.pfnDeferredFillIn(&excep);
            if (description && excep.bstrDescription)
                *description = excep.bstrDescription;
            hr = excep.scode ? excep.scode
                             : (excep.wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, excep.wCode) : E_FAIL);
        }
        ::SysFreeString(excep.bstrSource);
        ::SysFreeString(excep.bstrDescription);
        ::SysFreeString(excep.bstrHelpFile);
        return hr;
    });
}

HRESULT GetProperty(IDispatch* object, const wchar_t* name, Variant* result, std::initializer_list<Variant> args,
                    std::wstring* description) noexcept
{
    return InvokeByName(object, name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args.begin(), args.size(), result,
                        description);
}

HRESULT PutProperty(IDispatch* object, const wchar_t* name, const Variant& value, std::wstring* description) noexcept
{
    return InvokeByName(object, name, DISPATCH_PROPERTYPUT, &value, 1, nullptr, description);
}

HRESULT PutPropertyRef(IDispatch* object, const wchar_t* name, IDispatch* value, std::wstring* description) noexcept
{
    Variant v(value);
    return InvokeByName(object, name, DISPATCH_PROPERTYPUTREF, &v, 1, nullptr, description);
}

HRESULT CallMethod(IDispatch* object, const wchar_t* name, std::initializer_list<Variant> args, Variant* result,
                   std::wstring* description) noexcept
{
    return InvokeByName(object, name, DISPATCH_METHOD, args.begin(), args.size(), result, description);
}

ComPtr<IDispatch> GetObjectProperty(IDispatch* object, const wchar_t* name,
                                    std::initializer_list<Variant> args) noexcept
{
    Variant v;
    if (FAILED(GetProperty(object, name, &v, args)))
        return nullptr;
    return v.ToDispatch();
}

} // namespace com
