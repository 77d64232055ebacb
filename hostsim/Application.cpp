#include "Application.h"

#include "Explorer.h"
#include "Folder.h"
#include "NameSpace.h"
#include "Session.h"

namespace outlooksim {

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
