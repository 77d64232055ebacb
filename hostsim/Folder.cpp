#include "Folder.h"

#include "Ids.h"
#include "Items.h"
#include "Session.h"

namespace outlooksim {

Folder::Folder(std::shared_ptr<Session> session, Store* store, Folder* parent, std::wstring name, OlItemType type,
               std::wstring entryId)
    : m_session(std::move(session)), m_store(store), m_parent(parent), m_name(std::move(name)), m_type(type),
      m_entryId(std::move(entryId))
{
}

void Folder::Note(const std::wstring& text) const
{
    m_session->GetTrace().Outlook(L"MAPIFolder(" + Trace::Quoted(m_name) + L")." + text);
}

const std::wstring& Folder::StoreId() const noexcept { return m_store->Id(); }

std::wstring Folder::KindText() const
{
    switch (m_type) {
    case olMailItem:
        return L"Ordner mit E-Mail-Elementen";
    case olAppointmentItem:
        return L"Ordner mit Kalender-Elementen";
    case olContactItem:
        return L"Ordner mit Kontakt-Elementen";
    case olTaskItem:
        return L"Ordner mit Aufgaben-Elementen";
    case olJournalItem:
        return L"Ordner mit Journal-Elementen";
    case olNoteItem:
        return L"Ordner mit Notiz-Elementen";
    case olPostItem:
        return L"Ordner mit Bereitstellungs-Elementen";
    }
    return L"Ordner";
}

HRESULT Folder::get_DefaultItemType(OlItemType* value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = m_type;
        Note(L"DefaultItemType -> " + std::to_wstring(m_type));
        return S_OK;
    });
}

HRESULT Folder::get_EntryID(BSTR* value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = com::Bstr(m_entryId).release();
        Note(L"EntryID -> " + Ids::Short(m_entryId));
        return S_OK;
    });
}

HRESULT Folder::get_StoreID(BSTR* value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = com::Bstr(StoreId()).release();
        Note(L"StoreID -> " + Ids::Short(StoreId()));
        return S_OK;
    });
}

HRESULT Folder::get_Name(BSTR* value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = com::Bstr(m_name).release();
        Note(L"Name -> " + Trace::Quoted(m_name));
        return S_OK;
    });
}

HRESULT Folder::put_Name(BSTR value) noexcept
{
    return Guard([&] {
        std::wstring name = com::Bstr(value).str();
        Note(L"Name = " + Trace::Quoted(name));
        if (name.empty())
            return Fail(E_INVALIDARG, Session::kInvalidArgument);
        m_name = std::move(name);
        m_session->Changed();
        return S_OK;
    });
}

HRESULT Folder::get_Items(_Items** value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        if (const DWORD latency = m_session->ServerLatency().items)
            ::Sleep(latency);
        auto items = com::Make<Items>(this);
        Note(L"Items -> a new collection (" + std::to_wstring(m_collections.size()) + L" held)");
        *value = items.Detach();
        return S_OK;
    });
}

Trace& Folder::GetTrace() const noexcept { return m_session->GetTrace(); }

int Folder::DeliverAtOnce(const std::vector<FolderItem>& items, size_t burstLimit)
{
    if (items.size() <= burstLimit) {
        int raised = 0;
        for (const FolderItem& item : items)
            raised += Deliver(item) > 0;
        return raised;
    }
    m_contents.insert(m_contents.end(), items.begin(), items.end());
    m_session->GetTrace().Outlook(L"no ItemAdd raised on " + Trace::Quoted(m_name) + L": " +
                                  Trace::Count(static_cast<long>(items.size()), L"item") + L" at once (more than " +
                                  std::to_wstring(burstLimit) + L")");
    m_session->Changed();
    return 0;
}

int Folder::Deliver(const FolderItem& item)
{
    m_contents.push_back(item);
    // Handlers may let go of collections while the event runs: hold them.
    std::vector<com::ComPtr<Items>> collections(m_collections.begin(), m_collections.end());
    int subscribers = SubscriberCount();
    m_session->GetTrace().Outlook(L"ItemAdd raised on " + Trace::Quoted(m_name) + L" (" +
                                  Trace::Count(subscribers, L"subscriber") + L")");
    m_session->Changed();
    for (const auto& items : collections)
        items->RaiseItemAdd(item.object.Get());
    return subscribers;
}

int Folder::SubscriberCount() const noexcept
{
    int n = 0;
    for (const Items* items : m_collections)
        n += items->SubscriberCount();
    return n;
}

void Folder::Detach(Items* items) noexcept { std::erase(m_collections, items); }

} // namespace outlooksim
