// The object base: IUnknown written once from a list of interfaces,
// IDispatch from the module's own type library, ISupportErrorInfo.
//
//   class Folder : public com::ComObject<Folder, _NotifyFolder, ISupportErrorInfo> { ... };
//   auto folder = com::Make<Folder>();
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <atomic>
#include <type_traits>
#include <utility>

#include "com/ComError.h"
#include "com/ComModule.h"
#include "com/ComRaii.h"

namespace com {

namespace detail {
template <class... Is>
struct FirstDispatch {
    using type = void;
};
template <class I, class... Rest>
struct FirstDispatch<I, Rest...> {
    using type = std::conditional_t<std::is_base_of_v<IDispatch, I>, I, typename FirstDispatch<Rest...>::type>;
};
template <class First, class... Rest>
struct FirstOf {
    using type = First;
};

template <class T>
concept HasErrorSource = requires
{
    T::ErrorSource();
};
} // namespace detail

template <class Derived, class... Interfaces>
class ComObject : public Interfaces... {
  public:
    using DispatchInterface = typename detail::FirstDispatch<Interfaces...>::type;
    using PrimaryInterface = typename detail::FirstOf<Interfaces...>::type;

    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) noexcept
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown) {
            *ppv = static_cast<IUnknown*>(static_cast<PrimaryInterface*>(this));
        } else if constexpr (!std::is_void_v<DispatchInterface>) {
            if (riid == IID_IDispatch)
                *ppv = static_cast<IDispatch*>(static_cast<DispatchInterface*>(this));
        }
        if (!*ppv)
            ((!*ppv && riid == __uuidof(Interfaces) ? (*ppv = static_cast<Interfaces*>(this), true) : false), ...);
        if (!*ppv) {
            HRESULT hr = static_cast<Derived*>(this)->QueryInterfaceExtra(riid, ppv);
            if (FAILED(hr) || !*ppv)
                return E_NOINTERFACE;
            return hr; // the extra interface was already AddRef'd
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() noexcept
    {
        ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }

    // IDispatch, for the first dual interface in the list.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        ITypeInfo* ti = DispatchTypeInfo();
        if (!ti)
            return TYPE_E_ELEMENTNOTFOUND;
        ti->AddRef();
        *info = ti;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept
    {
        ITypeInfo* ti = DispatchTypeInfo();
        if (!ti)
            return E_NOTIMPL;
        return ::DispGetIDsOfNames(ti, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argErr) noexcept
    {
        if constexpr (std::is_void_v<DispatchInterface>) {
            return E_NOTIMPL;
        } else {
            ITypeInfo* ti = DispatchTypeInfo();
            if (!ti)
                return E_NOTIMPL;
            DISPPARAMS none{};
            return ::DispInvoke(static_cast<DispatchInterface*>(this), ti, id, flags, params ? params : &none, result,
                                excep, argErr);
        }
    }

    // ISupportErrorInfo, for every interface in the list.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) noexcept
    {
        bool found = ((riid == __uuidof(Interfaces)) || ...);
        return found ? S_OK : S_FALSE;
    }

  protected:
    ComObject() noexcept { Module::ObjectCreated(); }
    virtual ~ComObject() { Module::ObjectDestroyed(); }

    // Further interfaces answered by the derived class (AddRef'd when returned).
    HRESULT QueryInterfaceExtra(REFIID, void**) noexcept { return E_NOINTERFACE; }

    // Runs a method body; any exception becomes an HRESULT with error
    // information whose source is the class's ErrorSource() and whose
    // interface is the dispatch interface.
    template <typename Body>
    HRESULT Guard(Body&& body) noexcept
    {
        ClearError();
        const wchar_t* source = L"";
        if constexpr (detail::HasErrorSource<Derived>)
            source = Derived::ErrorSource();
        if constexpr (std::is_void_v<DispatchInterface>)
            return com::Guard(source, IID_NULL, std::forward<Body>(body));
        else
            return com::Guard(source, __uuidof(DispatchInterface), std::forward<Body>(body));
    }

    // Sets error information for this object's dispatch interface and returns hr.
    HRESULT Fail(HRESULT hr, const std::wstring& description) noexcept
    {
        const wchar_t* source = L"";
        if constexpr (detail::HasErrorSource<Derived>)
            source = Derived::ErrorSource();
        if constexpr (std::is_void_v<DispatchInterface>)
            return SetError(hr, description, source, IID_NULL);
        else
            return SetError(hr, description, source, __uuidof(DispatchInterface));
    }

  private:
    ITypeInfo* DispatchTypeInfo() noexcept
    {
        if constexpr (std::is_void_v<DispatchInterface>) {
            return nullptr;
        } else {
            if (!m_typeInfo)
                Module::TypeInfo(__uuidof(DispatchInterface), &m_typeInfo);
            return m_typeInfo.Get();
        }
    }

    std::atomic<ULONG> m_refs{1};
    ComPtr<ITypeInfo> m_typeInfo;
};

// Creates a COM object with one reference, owned by the returned pointer.
template <class T, class... Args>
ComPtr<T> Make(Args&&... args)
{
    ComPtr<T> object;
    // Not Attach(): MinGW's ComPtr::Attach adds a reference, unlike the
    // Windows SDK's, which would leave every object with one too many.
    *object.GetAddressOf() = new T(std::forward<Args>(args)...);
    return object;
}

// Creates a T (from the constructor arguments Args, if any) and queries it
// for riid: the creation function of a class factory.
template <class T, auto... Args>
HRESULT CreateInstance(REFIID riid, void** ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    return CatchReturn([&]() -> HRESULT { return Make<T>(Args...)->QueryInterface(riid, ppv); });
}

} // namespace com
