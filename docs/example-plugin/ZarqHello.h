// ZarqHello: the smallest useful corvane plug-in. It reports every new item
// of the folders it is switched on for to the debugger output
// (OutputDebugString; DebugView shows it) and names itself when the user
// asks for information on the "Überwachung" page.
#pragma once

#include "com/ComObject.h"
#include "corvane.h"

class ZarqHello final : public com::ComObject<ZarqHello, _ZarqPlugin, ISupportErrorInfo> {
public:
    static const wchar_t* ErrorSource() noexcept { return L"ZarqHello.ZarqPlugin"; }

    // _ZarqPlugin, in slot order (AddRef of the contract is PluginAddRef in C++).
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
    short m_iRefCount = 0; // the use count the contract asks for
};
