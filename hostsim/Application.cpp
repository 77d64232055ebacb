#include "Application.h"

#include "Explorer.h"
#include "Folder.h"
#include "NameSpace.h"
#include "Session.h"
#include "outlook/OutlookIds.h"

namespace outlooksim {

Application::Application(std::shared_ptr<Session> session) : m_session(std::move(session))
{
    AddConnectionPoint(DIID_ApplicationEvents);
}

int Application::SubscriberCount() const noexcept
{
    return static_cast<int>(const_cast<Application*>(this)->Point(DIID_ApplicationEvents).SinkCount());
}

// Outlook raises Quit when it begins to close (Application.Quit in
// Microsoft's reference). From Outlook 2010 on it is the last call an
// add-in gets when the user closes Outlook: neither OnBeginShutdown nor
// OnDisconnection follows ("Shutdown Changes for Outlook 2010"; the VSTO
// reference of AddInBase.Shutdown says the same for Outlook 2010).
int Application::RaiseQuit() noexcept
{
    const int subscribers = SubscriberCount();
    m_session->GetTrace().Outlook(L"Quit raised (" + Trace::Count(subscribers, L"subscriber") + L")");
    Point(DIID_ApplicationEvents).Fire(OL_DISPID_APPLICATION_QUIT);
    return subscribers;
}

HRESULT Application::ActiveExplorer(_Explorer** value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        Explorer* explorer = m_session->ActiveExplorer();
        if (!explorer) {
            m_session->GetTrace().Outlook(L"ActiveExplorer -> Nothing");
            return S_OK;
        }
        m_session->GetTrace().Outlook(L"ActiveExplorer -> Explorer showing " + Trace::Quoted(explorer->CurrentName()));
        explorer->AddRef();
        *value = explorer;
        return S_OK;
    });
}

HRESULT Application::GetNamespace(BSTR Type, _NameSpace** value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        std::wstring type = com::Bstr(Type).str();
        NameSpace* ns = m_session->Mapi();
        if (!ns || ::CompareStringOrdinal(type.c_str(), -1, L"MAPI", -1, TRUE) != CSTR_EQUAL) {
            m_session->GetTrace().Outlook(L"GetNamespace(" + Trace::Quoted(type) + L") -> error " +
                                          Trace::Hresult(E_INVALIDARG));
            return Fail(E_INVALIDARG, Session::kInvalidArgument);
        }
        m_session->GetTrace().Outlook(L"GetNamespace(" + Trace::Quoted(type) + L")");
        ns->AddRef();
        *value = ns;
        return S_OK;
    });
}

} // namespace outlooksim
