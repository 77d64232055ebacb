// The notifier plug-in: for every new item of a folder it is switched on
// for, a line in the shared list window "Neue Nachrichten", which it shows.
#pragma once

#include "ZarqNotifier.h"
#include "com/ComObject.h"

class ZarqPlugin final : public com::ComObject<ZarqPlugin, _ZarqPlugin, _NotifierPlugin, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"ZarqNotifier.ZarqPlugin"; }

    // _ZarqPlugin
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

    // The text of the Info box, with this library's version.
    static std::wstring InfoText();

  private:
    // Shows a message box owned by the active window; its failure is returned.
    HRESULT ShowMessage(const std::wstring& sText, const wchar_t* sCaption) noexcept;

    short m_iRefCount = 0;
};
