// The add-in's connect class: Outlook creates it, connects and disconnects
// it through IDTExtensibility2. It owns the references to Outlook's object
// model and receives their events.
#pragma once

#include <string>

#include "com/ComObject.h"
#include "com/EventSink.h"
#include "corvane.h"

class Tarnwell final : public com::ComObject<Tarnwell, _Tarnwell, _IDTExtensibility2, ISupportErrorInfo> {
public:
    static const wchar_t* ErrorSource() noexcept { return L"corvane.Tarnwell"; }

    Tarnwell();
    ~Tarnwell() override;

    // _IDTExtensibility2
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode,
                                           IDispatch* AddInInst, SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) noexcept override;

private:
    void m_olNs_Event(DISPID dispid, DISPPARAMS* params) noexcept;

    com::ComPtr<IDispatch> m_olApp;          // Outlook's Application
    com::EventMember<IDispatch> m_olNs;      // the "MAPI" NameSpace, source of OptionsPagesAdd
    std::wstring m_sLastEntryId;             // folder of the latest new item
    std::wstring m_sLastStoreId;
};
