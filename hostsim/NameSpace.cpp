#include "NameSpace.h"

#include "Folder.h"
#include "Ids.h"
#include "Session.h"
#include "outlook/OutlookIds.h"

namespace outlooksim {

namespace {

// The optional store argument: omitted, empty or Null all mean "none".
std::wstring OptionalText(const VARIANT& arg)
{
    com::Variant value;
    if (FAILED(value.Copy(arg)))
        return {};
    if (value.vt == VT_ERROR || value.vt == VT_EMPTY || value.vt == VT_NULL)
        return {};
    return value.ToString();
}

} // namespace

NameSpace::NameSpace(std::shared_ptr<Session> session) : m_session(std::move(session))
{
    AddConnectionPoint(DIID_NameSpaceEvents);
}

HRESULT NameSpace::GetDefaultFolder(OlDefaultFolders FolderType, MAPIFolder** value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        std::wstring call = L"GetDefaultFolder(" + std::to_wstring(FolderType) + L")";
        Folder* folder = m_session->Mailbox().DefaultFolder(FolderType);
        if (!folder) {
            m_session->GetTrace().Outlook(call + L" -> error " + Trace::Hresult(Session::kMapiNotFound));
            return Fail(Session::kMapiNotFound, Session::kNotFound);
        }
        m_session->GetTrace().Outlook(call + L" -> " + Trace::Quoted(folder->Name()));
        folder->AddRef();
        *value = folder;
        return S_OK;
    });
}

HRESULT NameSpace::GetFolderFromID(BSTR EntryIDFolder, VARIANT EntryIDStore, MAPIFolder** value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        std::wstring entryId = com::Bstr(EntryIDFolder).str();
        std::wstring storeId = OptionalText(EntryIDStore);
        std::wstring call = L"GetFolderFromID(" + Ids::Short(entryId);
        if (!storeId.empty())
            call += L", " + Ids::Short(storeId);
        call += L")";
        // A round trip to the store's server.
        if (const DWORD latency = m_session->ServerLatency().getFolderFromId)
            ::Sleep(latency);
        FolderLookup found = m_session->Lookup(entryId, storeId);
        if (!found.folder) {
            m_session->GetTrace().Outlook(call + L" -> error " + Trace::Hresult(found.hr) + L": " + found.description);
            return Fail(found.hr, found.description);
        }
        m_session->GetTrace().Outlook(call + L" -> " + Trace::Quoted(found.folder->Name()));
        found.folder->AddRef();
        *value = found.folder;
        return S_OK;
    });
}

int NameSpace::SubscriberCount() noexcept { return static_cast<int>(Point(DIID_NameSpaceEvents).SinkCount()); }

int NameSpace::RaiseOptionsPagesAdd(IDispatch* pages, Folder* folder) noexcept
{
    int subscribers = SubscriberCount();
    m_session->GetTrace().Outlook(L"OptionsPagesAdd raised for " + Trace::Quoted(folder->Name()) + L" (" +
                                  Trace::Count(subscribers, L"subscriber") + L")");
    Point(DIID_NameSpaceEvents)
        .Fire(OL_DISPID_OPTIONSPAGESADD, {com::Variant(pages), com::Variant(static_cast<IDispatch*>(folder))});
    return subscribers;
}

} // namespace outlooksim
