// The base of the library's COM classes: the kit's object base plus the
// library's own rule for running a method body, under which a failed
// allocation is reported as EMessageFromSystem with the system's text for
// E_OUTOFMEMORY, like every other failure of the system.
#pragma once

#include <new>

#include "RegistryErrors.h"
#include "com/AutomationValues.h"
#include "com/ComObject.h"

namespace reg {

template <class Derived, class... Interfaces>
class RegistryObject : public com::ComObject<Derived, Interfaces...> {
    using Base = com::ComObject<Derived, Interfaces...>;

  public:
    // A collection property called with arguments (r.Keys("HKLM"),
    // k.Values("X")) hands them to the collection's default member, Item.
    // The type library's own Invoke does not do this for every caller (Wine's
    // JScript asks for a method call, which a property is not), so the
    // classes that have such properties answer it here; errors of Item
    // then reach the script with Item's own error information.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argErr) noexcept override
    {
        if (!params || params->cArgs == 0 || params->cNamedArgs != 0 ||
            !(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) ||
            !static_cast<Derived*>(this)->IsCollectionProperty(id))
            return Base::Invoke(id, riid, lcid, flags, params, result, excep, argErr);
        DISPPARAMS none{};
        com::Variant collection;
        HRESULT hr = Base::Invoke(id, riid, lcid, DISPATCH_PROPERTYGET, &none, &collection, excep, argErr);
        if (FAILED(hr))
            return hr;
        if (collection.vt != VT_DISPATCH || !collection.pdispVal)
            return DISP_E_TYPEMISMATCH;
        return collection.pdispVal->Invoke(DISPID_VALUE, riid, lcid, DISPATCH_METHOD | DISPATCH_PROPERTYGET, params,
                                           result, excep, argErr);
    }

    // No collection properties unless a class names them.
    bool IsCollectionProperty(DISPID) noexcept { return false; }

  protected:
    template <typename Body>
    HRESULT Run(Body&& body) noexcept
    {
        return this->Guard([&]() -> HRESULT {
            try {
                return body();
            } catch (const std::bad_alloc&) {
                RaiseSystemHr(E_OUTOFMEMORY);
            }
        });
    }
};

} // namespace reg
