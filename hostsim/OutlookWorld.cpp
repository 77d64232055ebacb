#include "OutlookWorld.h"

#include "Application.h"
#include "Explorer.h"
#include "Folder.h"
#include "FolderPropertiesDialog.h"
#include "MailItem.h"
#include "NameSpace.h"
#include "PostItem.h"
#include "Session.h"

namespace outlooksim {

namespace {

constexpr const wchar_t* kAllPublicFolders = L"Alle \u00D6ffentlichen Ordner";

// OlDefaultFolders for the kinds of folder a mailbox has one default of.
long DefaultFolderFor(OlItemType type)
{
    switch (type) {
    case olAppointmentItem:
        return olFolderCalendar;
    case olContactItem:
        return olFolderContacts;
    case olTaskItem:
        return olFolderTasks;
    case olJournalItem:
        return olFolderJournal;
    case olNoteItem:
        return olFolderNotes;
    default:
        return 0;
    }
}

DATE Now()
{
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    st.wMilliseconds = 0;
    DATE date = 0;
    ::SystemTimeToVariantTime(&st, &date);
    return date;
}

} // namespace

OutlookWorld::OutlookWorld() : OutlookWorld(Options{}) {}

OutlookWorld::OutlookWorld(const Options& options) : m_session(std::make_shared<Session>(options.echoTrace))
{
    m_session->SetShowWindows(options.showWindows);
    auto app = com::Make<outlooksim::Application>(m_session);
    auto ns = com::Make<NameSpace>(m_session);
    m_session->SetApplication(app.Get(), ns.Get());

    Store& mailbox = m_session->Mailbox();
    Folder* top = CreateFolder(mailbox, nullptr, mailbox.DisplayName(), olMailItem);
    mailbox.SetDefaultFolder(olFolderDeletedItems, CreateFolder(mailbox, top, L"Gel\u00F6schte Objekte", olMailItem));
    mailbox.SetDefaultFolder(olFolderInbox, CreateFolder(mailbox, top, L"Posteingang", olMailItem));
    mailbox.SetDefaultFolder(olFolderOutbox, CreateFolder(mailbox, top, L"Postausgang", olMailItem));
    mailbox.SetDefaultFolder(olFolderSentMail, CreateFolder(mailbox, top, L"Gesendete Objekte", olMailItem));

    Store& pub = m_session->PublicStore();
    CreateFolder(pub, CreateFolder(pub, nullptr, pub.DisplayName(), olMailItem), kAllPublicFolders, olMailItem);

    RestoreExplorer();
}

OutlookWorld::~OutlookWorld()
{
    CloseProperties();
    m_session->Close();
}

Trace& OutlookWorld::GetTrace() const noexcept { return m_session->GetTrace(); }

com::ComPtr<IDispatch> OutlookWorld::Application() const { return static_cast<IDispatch*>(m_session->App()); }

Store& OutlookWorld::Mailbox() const noexcept { return m_session->Mailbox(); }
Store& OutlookWorld::PublicStore() const noexcept { return m_session->PublicStore(); }
Folder* OutlookWorld::Inbox() const noexcept { return m_session->Mailbox().DefaultFolder(olFolderInbox); }

Folder* OutlookWorld::CreateFolder(Store& store, Folder* parent, const std::wstring& name, OlItemType type)
{
    auto folder =
        com::Make<Folder>(m_session, &store, parent, name, type, store.EntryIdFor(m_session->NextFolderNumber()));
    store.Add(folder.Get());
    m_session->Changed();
    return folder.Get();
}

Folder* OutlookWorld::AddFolder(const std::wstring& name, StoreKind kind, OlItemType type, std::wstring_view parent)
{
    if (name.empty() || FindFolder(name))
        return nullptr;
    Store& store = kind == StoreKind::Mailbox ? Mailbox() : PublicStore();
    Folder* parentFolder = parent.empty()
                               ? (kind == StoreKind::Mailbox ? store.Root() : store.FindByName(kAllPublicFolders))
                               : store.FindByName(parent);
    if (!parentFolder)
        return nullptr;
    Folder* folder = CreateFolder(store, parentFolder, name, type);
    long defaultId = DefaultFolderFor(type);
    if (kind == StoreKind::Mailbox && defaultId && !store.DefaultFolder(defaultId))
        store.SetDefaultFolder(defaultId, folder);
    return folder;
}

void OutlookWorld::SetLatency(DWORD getFolderFromId, DWORD items) noexcept
{
    m_session->SetLatency({getFolderFromId, items});
}

const Session::Latency& OutlookWorld::Latency() const noexcept { return m_session->ServerLatency(); }

void OutlookWorld::SetStoreOnline(StoreKind store, bool online) noexcept
{
    (store == StoreKind::Mailbox ? m_session->Mailbox() : m_session->PublicStore()).SetOnline(online);
}

Folder* OutlookWorld::FindFolder(std::wstring_view name) const noexcept { return m_session->FindByName(name); }

FolderItem OutlookWorld::MakeItem(OlItemType type, ItemData data) const
{
    if (data.received == 0)
        data.received = Now();
    auto shared = std::make_shared<ItemData>(std::move(data));
    com::ComPtr<IDispatch> item;
    if (type == olPostItem)
        item = static_cast<IDispatch*>(com::Make<PostItem>(m_session, shared).Get());
    else
        item = static_cast<IDispatch*>(com::Make<MailItem>(m_session, shared).Get());
    return FolderItem{item, shared, type == olPostItem ? olPostItem : olMailItem};
}

com::ComPtr<IDispatch> OutlookWorld::Deliver(std::wstring_view folderName, OlItemType type, ItemData data)
{
    Folder* folder = FindFolder(folderName);
    if (!folder)
        return nullptr;
    FolderItem item = MakeItem(type, std::move(data));
    folder->Deliver(item);
    return item.object;
}

bool OutlookWorld::DeliverAtOnce(std::wstring_view folderName, OlItemType type, std::vector<ItemData> data,
                                 size_t burstLimit)
{
    Folder* folder = FindFolder(folderName);
    if (!folder)
        return false;
    // Items without a time of their own arrive a second apart, in order.
    const DATE now = Now();
    std::vector<FolderItem> items;
    for (size_t i = 0; i < data.size(); ++i) {
        if (data[i].received == 0)
            data[i].received = now + static_cast<double>(i) / (24 * 60 * 60);
        items.push_back(MakeItem(type, std::move(data[i])));
    }
    folder->DeliverAtOnce(items, burstLimit);
    return true;
}

int OutlookWorld::RaiseQuit()
{
    outlooksim::Application* app = m_session->App();
    return app ? app->RaiseQuit() : 0;
}

bool OutlookWorld::DeleteFolder(std::wstring_view name)
{
    Folder* folder = FindFolder(name);
    if (!folder || !folder->ParentFolder())
        return false;
    Explorer* explorer = ActiveExplorer();
    auto removed = folder->OwningStore()->Remove(folder);
    for (const auto& f : removed) {
        f->MarkDeleted();
        // Outlook's explorer moves away from a folder that is gone.
        if (explorer && explorer->Current() == f.Get())
            explorer->ShowFolder(f->ParentFolder());
    }
    m_session->Changed();
    return true;
}

void OutlookWorld::RemoveExplorer()
{
    if (Explorer* explorer = ActiveExplorer())
        explorer->Close();
    m_session->SetExplorer(nullptr);
}

void OutlookWorld::RestoreExplorer()
{
    if (ActiveExplorer())
        return;
    m_session->SetExplorer(com::Make<Explorer>(m_session, Inbox()).Get());
}

Explorer* OutlookWorld::ActiveExplorer() const noexcept { return m_session->ActiveExplorer(); }

FolderPropertiesDialog* OutlookWorld::OpenProperties(std::wstring_view folderName)
{
    Folder* folder = FindFolder(folderName);
    if (!folder)
        return nullptr;
    CloseProperties();
    m_properties = std::make_unique<FolderPropertiesDialog>(m_session, folder, m_sheetRoutes);
    m_properties->Open();
    return m_properties.get();
}

FolderPropertiesDialog* OutlookWorld::Properties() noexcept
{
    if (m_properties && !m_properties->IsOpen())
        m_properties.reset();
    return m_properties.get();
}

void OutlookWorld::CloseProperties() noexcept { m_properties.reset(); }

} // namespace outlooksim
