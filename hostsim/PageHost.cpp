#include "PageHost.h"

#include <ole2.h>
#include <prsht.h>

#include "ControlSite.h"
#include "InPlaceFrame.h"
#include "PageSite.h"
#include "Session.h"
#include "outlook.h"

namespace outlooksim {

PageHost::PageHost(std::shared_ptr<Session> session, IUnknown* control, std::wstring title, IDispatch* pages)
    : m_session(std::move(session)), m_control(control), m_title(std::move(title))
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
    m_frame = com::Make<InPlaceFrame>(::GetParent(m_hwnd));
    m_clientSite = com::Make<ControlSite>(m_hwnd, static_cast<IOleContainer*>(m_site.Get()), m_frame.Get(), m_title);
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

bool PageHost::TranslateKey(MSG& msg)
{
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !m_frame || !m_controlWindow)
        return false;
    if (msg.hwnd != m_controlWindow && !::IsChild(m_controlWindow, msg.hwnd))
        return false;
    IOleInPlaceActiveObject* active = m_frame->ActiveObject();
    return active && active->TranslateAccelerator(&msg) == S_OK;
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
    m_frame.Reset();
    m_controlWindow = nullptr;
}

} // namespace outlooksim
