// A plug-in for the add-in's tests: it records every call it receives, with
// its arguments, in a journal that the test program reads through the
// DLL's exports, and fails the operations it is told to fail.
#pragma once

#include <string>

#include "com/ComObject.h"
#include "corvane.h"

class ZarqProbe final : public com::ComObject<ZarqProbe, _ZarqPlugin, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"ZarqProbe.ZarqPlugin"; }

    explicit ZarqProbe(const char* sClass);

    HRESULT STDMETHODCALLTYPE PluginAddRef() noexcept override;
    HRESULT STDMETHODCALLTYPE Configure() noexcept override;
    HRESULT STDMETHODCALLTYPE DeleteRef() noexcept override;
    HRESULT STDMETHODCALLTYPE GetClass(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetFriendlyName(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetId(VARIANT* value) noexcept override;
    HRESULT STDMETHODCALLTYPE LoadSettings(BSTR sSection) noexcept override;
    HRESULT STDMETHODCALLTYPE get_RefCount(short* value) noexcept override;
    HRESULT STDMETHODCALLTYPE SaveSettings(BSTR sSection) noexcept override;
    HRESULT STDMETHODCALLTYPE BeforeSaveSettings() noexcept override;
    HRESULT STDMETHODCALLTYPE HandleItemAdd(IDispatch* Item, _NotifyFolder* Nf) noexcept override;
    HRESULT STDMETHODCALLTYPE ShutDown() noexcept override;
    HRESULT STDMETHODCALLTYPE StartUp() noexcept override;
    HRESULT STDMETHODCALLTYPE Info() noexcept override;

  private:
    // Records "<class>#<n> <operation> <arguments>"; fails when told to.
    HRESULT Record(const char* sOperation, const std::string& sArguments = {}) noexcept;

    std::string m_sClass;
    int m_nInstance;
    short m_iRefCount = 0;
};
