#include "Tarnwell.h"

#include "TheApp.h"
#include "com/LateBound.h"
#include "frmSplash.h"
#include "outlook/OutlookIds.h"

// Every step of creation, connection, disconnection and destruction runs
// with its failures suppressed: a failing step is skipped and the next one
// runs; nothing is reported to Outlook.

Tarnwell::Tarnwell() : m_olNs(kOlDiidNameSpaceEvents, [this](DISPID id, DISPPARAMS* p) { m_olNs_Event(id, p); })
{
    try {
        g_theApp = std::make_unique<TheApp>();
    } catch (...) {
    }
}

Tarnwell::~Tarnwell()
{
    try {
        g_theApp.reset();
    } catch (...) {
    }
    m_olNs.Clear();
    m_olApp.Reset();
}

HRESULT Tarnwell::OnConnection(IDispatch* Application, ext_ConnectMode, IDispatch*, SAFEARRAY**) noexcept
{
    // The splash window: created, loaded, timer started, shown modeless
    // without an owner. It closes and frees itself.
    if (frmSplash* splash = frmSplash::Load()) {
        splash->BeginTimer();
        splash->Show();
    }

    // Outlook's Application interface; another host's object offers none,
    // and then the following steps have nothing to work on.
    m_olApp.Reset();
    if (Application)
        Application->QueryInterface(kOlIidApplication, reinterpret_cast<void**>(m_olApp.GetAddressOf()));

    com::ComPtr<IDispatch> ns;
    if (m_olApp)
        ns = com::GetObjectProperty(m_olApp.Get(), L"GetNamespace", {com::Variant(L"MAPI")});
    m_olNs.Assign(ns.Get());
    return S_OK;
}

HRESULT Tarnwell::OnDisconnection(ext_DisconnectMode, SAFEARRAY**) noexcept { return S_OK; }

HRESULT Tarnwell::OnAddInsUpdate(SAFEARRAY**) noexcept { return S_OK; }

HRESULT Tarnwell::OnStartupComplete(SAFEARRAY**) noexcept { return S_OK; }

HRESULT Tarnwell::OnBeginShutdown(SAFEARRAY**) noexcept { return S_OK; }

void Tarnwell::m_olNs_Event(DISPID, DISPPARAMS*) noexcept {}
