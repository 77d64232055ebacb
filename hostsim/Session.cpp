#include "Session.h"

#include "Application.h"
#include "Explorer.h"
#include "Folder.h"
#include "Ids.h"
#include "NameSpace.h"

namespace outlooksim {

namespace {
constexpr GUID kMailboxGuid = {0x4A7B2C10, 0x5E3D, 0x4F21, {0x9A, 0x61, 0x0C, 0x3B, 0x7D, 0x21, 0xE4, 0x58}};
constexpr GUID kMailboxDatabase = {0x8C14E0A2, 0x1B7F, 0x4D93, {0xB2, 0x05, 0x6E, 0x9A, 0x13, 0x44, 0xC7, 0x0F}};
constexpr GUID kPublicGuid = {0x9E3F61B4, 0x2A58, 0x4C07, {0x83, 0xD1, 0x5B, 0x70, 0x2E, 0x96, 0xA1, 0x3C}};
constexpr GUID kPublicDatabase = {0x2D90C7E5, 0x6F14, 0x4B8A, {0xA7, 0x3E, 0x41, 0x0D, 0xB5, 0x82, 0x69, 0xF1}};
} // namespace

Session::Session(bool echoTrace) : m_trace(echoTrace)
{
    m_stores.push_back(std::make_unique<Store>(
        StoreKind::Mailbox, L"Postfach - Max Mustermann",
        Ids::MailboxStoreId("CORVANE-EX01", "/o=Tarnwell/ou=Zentrale/cn=Recipients/cn=mmustermann"), kMailboxGuid,
        kMailboxDatabase));
    m_stores.push_back(std::make_unique<Store>(
        StoreKind::Public, L"\u00D6ffentliche Ordner",
        Ids::PublicStoreId(
            "CORVANE-EX01.zentrale.tarnwell.example",
            "/o=Tarnwell/ou=Zentrale/cn=Configuration/cn=Servers/cn=CORVANE-EX01/cn=Microsoft Public MDB"),
        kPublicGuid, kPublicDatabase));
}

Store* Session::FindStore(std::wstring_view storeId) const noexcept
{
    for (const auto& store : m_stores)
        if (Ids::Same(store->Id(), storeId))
            return store.get();
    return nullptr;
}

FolderLookup Session::Lookup(std::wstring_view entryId, std::wstring_view storeId) const
{
    if (!Ids::IsHex(entryId))
        return {nullptr, kMapiInvalidEntryId, kInvalidEntryId};
    const Store* store = m_stores[0].get();
    if (!storeId.empty()) {
        store = Ids::IsHex(storeId) ? FindStore(storeId) : nullptr;
        if (!store)
            return {nullptr, kMapiNotFound, kStoreUnavailable};
    }
    if (!store->Online())
        return {nullptr, kMapiNetworkError, kNetworkError};
    if (Folder* folder = store->Find(entryId))
        return {folder, S_OK, {}};
    return {nullptr, kMapiNotFound, kNotFound};
}

Folder* Session::FindByName(std::wstring_view name) const noexcept
{
    for (const auto& store : m_stores)
        if (Folder* f = store->FindByName(name))
            return f;
    return nullptr;
}

void Session::SetApplication(Application* app, NameSpace* ns)
{
    m_application = app;
    m_nameSpace = ns;
}

void Session::SetExplorer(Explorer* explorer) { m_explorer = explorer; }

void Session::Changed()
{
    if (m_explorer)
        m_explorer->Refresh();
}

void Session::Close() noexcept
{
    if (m_explorer)
        m_explorer->Close();
    m_explorer.Reset();
    m_nameSpace.Reset();
    m_application.Reset();
    for (auto& store : m_stores)
        store->Clear();
}

} // namespace outlooksim
