// The plug-in contract's own class: every operation does nothing. It lets
// plug-in projects reference the add-in's type library; the add-in never
// creates it.
#pragma once

#include "com/ComObject.h"
#include "corvane.h"

class ZarqPlugin final : public com::ComObject<ZarqPlugin, _ZarqPlugin, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"corvane.ZarqPlugin"; }

    HRESULT STDMETHODCALLTYPE PluginAddRef() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Configure() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeleteRef() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetClass(BSTR* value) noexcept override { return Empty(value); }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* value) noexcept override { return Empty(value); }
    HRESULT STDMETHODCALLTYPE GetFriendlyName(BSTR* value) noexcept override { return Empty(value); }
    HRESULT STDMETHODCALLTYPE GetId(VARIANT* value) noexcept override
    {
        if (!value)
            return E_POINTER;
        ::VariantInit(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE LoadSettings(BSTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_RefCount(short* value) noexcept override
    {
        if (!value)
            return E_POINTER;
        *value = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SaveSettings(BSTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE BeforeSaveSettings() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE HandleItemAdd(IDispatch*, _NotifyFolder*) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShutDown() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE StartUp() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Info() noexcept override { return S_OK; }

  private:
    static HRESULT Empty(BSTR* value) noexcept
    {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        return S_OK;
    }
};
