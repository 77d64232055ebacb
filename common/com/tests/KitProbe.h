// The probe object of the kit's tests.
#pragma once

#include <string>
#include <vector>

#include "com/ComObject.h"
#include "com/ConnectionPoint.h"
#include "kitprobe.h"

class KitProbe final : public com::ComObject<KitProbe, IKitProbe, ISupportErrorInfo, com::ConnectionPointContainer> {
  public:
    KitProbe();
    static const wchar_t* ErrorSource() noexcept { return L"corvaneKit.Probe.1"; }

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE Join(BSTR first, VARIANT second, VARIANT third, BSTR* result) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Target(IDispatch** value) noexcept override;
    HRESULT STDMETHODCALLTYPE putref_Target(IDispatch* value) noexcept override;
    HRESULT STDMETHODCALLTYPE Fail(long code, BSTR description) noexcept override;
    HRESULT STDMETHODCALLTYPE Raise(long value) noexcept override;
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** value) noexcept override;
    HRESULT STDMETHODCALLTYPE AddItem(VARIANT item) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Count(long* value) noexcept override;

  private:
    std::wstring m_name;
    com::ComPtr<IDispatch> m_target;
    std::vector<com::Variant> m_items;
};
