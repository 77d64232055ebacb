#include "PageHost.h"

#include <ole2.h>
#include <olectl.h>
#include <prsht.h>

#include <vector>

#include "ControlSite.h"
#include "InPlaceFrame.h"
#include "PageContainer.h"
#include "PageSite.h"
#include "Session.h"
#include "outlook.h"

namespace outlooksim {

PageHost::PageHost(std::shared_ptr<Session> session, IUnknown* control, std::wstring title, IDispatch* pages,
                   InPlaceFrame* frame, SheetRoutes routes)
    : m_session(std::move(session)), m_control(control), m_title(std::move(title)), m_routes(routes), m_frame(frame)
{
    m_site = com::Make<PageSite>(m_session, this, pages);
}

PageHost::~PageHost()
{
    OnDestroy();
    m_site->Detach();
}

void PageHost::Note(const std::wstring& text) const
{
    m_session->GetTrace().Outlook(L"page " + Trace::Quoted(m_title) + L": " + text);
}

void PageHost::OnInit()
{
    if (!ActivateControl())
        ShowPlaceholder();
    // The page's help information, through the vtable.
    com::ComPtr<PropertyPage> page;
    if (SUCCEEDED(m_control.As(&page))) {
        com::Bstr helpFile;
        long helpContext = 0;
        HRESULT hr = page->GetPageInfo(helpFile.put(), &helpContext);
        Note(L"GetPageInfo -> " + Trace::Hresult(hr));
    }
}

bool PageHost::ActivateControl()
{
    if (FAILED(m_control.As(&m_ole))) {
        Note(L"not an OLE control (no IOleObject)");
        return false;
    }
    const bool onClientSite = m_routes.site == SheetRoutes::Site::Client;
    m_container = com::Make<PageContainer>(onClientSite ? nullptr : m_site.Get());
    m_clientSite =
        com::Make<ControlSite>(m_hwnd, static_cast<IOleContainer*>(m_container.Get()), m_frame.Get(), m_title,
                               onClientSite ? static_cast<::PropertyPageSite*>(m_site.Get()) : nullptr);
    HRESULT hr = m_ole->SetClientSite(m_clientSite.Get());
    Note(L"SetClientSite -> " + Trace::Hresult(hr));
    com::ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(m_control.As(&persist)))
        Note(L"InitNew -> " + Trace::Hresult(persist->InitNew()));
    RECT rc{};
    ::GetClientRect(m_hwnd, &rc);
    hr = m_ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_clientSite.Get(), 0, m_hwnd, &rc);
    com::ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(hr) && SUCCEEDED(m_control.As(&inPlace)) && SUCCEEDED(inPlace->GetWindow(&m_controlWindow))) {
        inPlace->SetObjectRects(&rc, &rc);
        ::ShowWindow(m_controlWindow, SW_SHOW);
    }
    Note(L"DoVerb(OLEIVERB_INPLACEACTIVATE) -> " + Trace::Hresult(hr) + (m_controlWindow ? L", in place" : L""));
    return m_controlWindow != nullptr;
}

void PageHost::ShowPlaceholder()
{
    AddControl(L"STATIC", L"Diese Seite kann nicht angezeigt werden.", SS_CENTER, RECT{10, 90, 240, 110});
}

void PageHost::OnSize()
{
    com::ComPtr<IOleInPlaceObject> inPlace;
    if (!m_controlWindow || FAILED(m_control.As(&inPlace)))
        return;
    RECT rc{};
    ::GetClientRect(m_hwnd, &rc);
    inPlace->SetObjectRects(&rc, &rc);
}

bool PageHost::ReadDirty()
{
    com::ComPtr<PropertyPage> page;
    if (FAILED(m_control.As(&page))) {
        Note(L"no PropertyPage interface");
        return false;
    }
    VARIANT_BOOL dirty = VARIANT_FALSE;
    HRESULT hr = page->get_Dirty(&dirty);
    bool isDirty = SUCCEEDED(hr) && dirty != VARIANT_FALSE;
    Note(L"Dirty -> " + (SUCCEEDED(hr) ? std::wstring(isDirty ? L"True" : L"False") : L"error " + Trace::Hresult(hr)));
    return isDirty;
}

void PageHost::OnApply()
{
    if (!ReadDirty())
        return;
    com::ComPtr<PropertyPage> page;
    m_control.As(&page);
    Note(L"Apply -> " + Trace::Hresult(page->Apply()));
}

void PageHost::StatusChanged()
{
    m_session->GetTrace().Outlook(L"PropertyPageSite.OnStatusChange from " + Trace::Quoted(m_title));
    if (!m_hwnd)
        return;
    HWND sheet = ::GetParent(m_hwnd);
    if (ReadDirty())
        PropSheet_Changed(sheet, m_hwnd);
    else
        PropSheet_UnChanged(sheet, m_hwnd);
}

bool PageHost::Holds(HWND window) const noexcept
{
    return m_controlWindow && window && (window == m_controlWindow || ::IsChild(m_controlWindow, window));
}

bool PageHost::RunMnemonic(MSG& msg)
{
    com::ComPtr<IOleControl> control;
    if (msg.message != WM_SYSCHAR || !m_controlWindow || FAILED(m_control.As(&control)))
        return false;
    CONTROLINFO info{};
    info.cb = sizeof info;
    if (FAILED(control->GetControlInfo(&info)) || !info.hAccel || !info.cAccel)
        return false;
    std::vector<ACCEL> table(info.cAccel);
    table.resize(static_cast<size_t>(::CopyAcceleratorTableW(info.hAccel, table.data(), info.cAccel)));
    const WORD key = static_cast<WORD>(::VkKeyScanW(static_cast<wchar_t>(msg.wParam)) & 0xFF);
    for (const ACCEL& entry : table) {
        if ((entry.fVirt & (FVIRTKEY | FALT)) != (FVIRTKEY | FALT) || entry.key != key)
            continue;
        const HRESULT hr = control->OnMnemonic(&msg);
        Note(L"OnMnemonic(Alt+" + std::wstring(1, static_cast<wchar_t>(key)) + L") -> " + Trace::Hresult(hr));
        return hr == S_OK;
    }
    return false;
}

// A container takes the user interface from an object when the user goes
// on to another part of the container (Microsoft documentation,
// IOleInPlaceObject::UIDeactivate). A dialog box of the page itself (the
// file dialog, a message box) is not a part of the sheet.
void PageHost::DeactivateIfLeft()
{
    if (!m_clientSite || !m_clientSite->UIActive() || !m_hwnd)
        return;
    HWND focus = ::GetFocus();
    HWND sheet = ::GetParent(m_hwnd);
    if (!focus || Holds(focus) || !::IsChild(sheet, focus))
        return;
    com::ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(m_control.As(&inPlace)))
        inPlace->UIDeactivate();
}

void PageHost::OnDestroy()
{
    if (m_ole) {
        com::ComPtr<IOleInPlaceObject> inPlace;
        if (m_controlWindow && SUCCEEDED(m_control.As(&inPlace)))
            inPlace->InPlaceDeactivate();
        m_ole->Close(OLECLOSE_NOSAVE);
        m_ole->SetClientSite(nullptr);
        m_ole.Reset();
    }
    if (m_clientSite)
        m_clientSite->Detach();
    m_clientSite.Reset();
    if (m_container)
        m_container->Detach();
    m_container.Reset();
    m_controlWindow = nullptr;
}

} // namespace outlooksim
