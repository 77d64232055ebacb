#include "PageSite.h"

#include "Application.h"
#include "NameSpace.h"
#include "PageHost.h"
#include "Session.h"
#include "com/AutomationValues.h"

namespace outlooksim {

PageSite::PageSite(std::shared_ptr<Session> session, PageHost* host, IDispatch* parent)
    : m_session(std::move(session)), m_host(host), m_parent(parent)
{
}

HRESULT PageSite::get_Application(_Application** value) noexcept
{
    return Guard([&]() -> HRESULT { return com::Out(value, m_session->App()); });
}

HRESULT PageSite::get_Class(OlObjectClass* value) noexcept
{
    return Guard([&]() -> HRESULT {
        if (!value)
            return E_POINTER;
        *value = olPropertyPageSite;
        return S_OK;
    });
}

HRESULT PageSite::get_Session(_NameSpace** value) noexcept
{
    return Guard([&]() -> HRESULT { return com::Out(value, m_session->Mapi()); });
}

HRESULT PageSite::get_Parent(IDispatch** value) noexcept
{
    return Guard([&]() -> HRESULT { return com::Out(value, m_parent.Get()); });
}

HRESULT PageSite::OnStatusChange() noexcept
{
    return Guard([&] {
        if (!m_host) {
            m_session->GetTrace().Outlook(L"PropertyPageSite.OnStatusChange (the page is closed)");
            return S_OK;
        }
        m_host->StatusChanged();
        return S_OK;
    });
}

} // namespace outlooksim
