// Outlook's object model as the stand-in offers it, used the way the
// add-in uses it: through IDispatch, by name, with errors as the caller
// sees them (HRESULT and description through EXCEPINFO).
#include <cwctype>

#include "Explorer.h"
#include "Folder.h"
#include "HostTestSupport.h"
#include "com/EventSink.h"
#include "outlook/OutlookIds.h"

using com::ComPtr;
using com::Variant;
using hosttest::Call;
using hosttest::Get;
using hosttest::InOrder;
using hosttest::Text;
using outlooksim::StoreKind;

namespace {

constexpr HRESULT kNotFound = static_cast<HRESULT>(0x8004010F);
constexpr HRESULT kInvalidEntryId = static_cast<HRESULT>(0x80040107);

class OutlookModel : public hosttest::WorldTest {};

IDispatch* AsDispatch(outlooksim::Folder* folder) { return static_cast<MAPIFolder*>(folder); }

bool IsUpperHex(const std::wstring& text)
{
    for (wchar_t c : text)
        if (!std::iswdigit(c) && (c < L'A' || c > L'F'))
            return false;
    return !text.empty() && text.size() % 2 == 0;
}

// Records the ItemAdd events one subscription receives.
struct ItemAddRecorder {
    std::vector<ComPtr<IDispatch>> items;
    com::EventConnection connection{kOlDiidItemsEvents, [this](DISPID id, DISPPARAMS* p) {
                                        if (id == OL_DISPID_ITEMS_ITEMADD)
                                            items.push_back(Variant(com::EventArg(p, 0)).ToDispatch());
                                    }};
};

} // namespace

TEST_F(OutlookModel, IdentifiersAreHexadecimalTextLikeOutlooks)
{
    outlooksim::Folder* support = world->AddFolder(L"Support");
    ASSERT_NE(nullptr, support);
    IDispatch* inbox = AsDispatch(world->Inbox());

    std::wstring inboxEntry = Text(inbox, L"EntryID");
    std::wstring supportEntry = Text(AsDispatch(support), L"EntryID");
    EXPECT_EQ(92u, inboxEntry.size());
    EXPECT_TRUE(IsUpperHex(inboxEntry));
    EXPECT_TRUE(IsUpperHex(supportEntry));
    EXPECT_NE(inboxEntry, supportEntry);

    std::wstring mailboxStore = Text(inbox, L"StoreID");
    std::wstring publicStore = Text(AsDispatch(support), L"StoreID");
    EXPECT_EQ(world->Mailbox().Id(), mailboxStore);
    EXPECT_EQ(world->PublicStore().Id(), publicStore);
    EXPECT_TRUE(IsUpperHex(mailboxStore));
    EXPECT_TRUE(IsUpperHex(publicStore));
    EXPECT_GT(publicStore.size(), 300u) << "public-folder store identifiers are several hundred characters long";
    EXPECT_NE(mailboxStore, publicStore);
}

TEST_F(OutlookModel, NamespaceAndDefaultFolders)
{
    ComPtr<IDispatch> ns = Mapi();
    ASSERT_TRUE(ns);
    EXPECT_EQ(ns.Get(), com::GetObjectProperty(app.Get(), L"GetNamespace", {Variant(L"mapi")}).Get())
        << "one namespace, whatever the letter case";

    auto other = Call(app.Get(), L"GetNamespace", {Variant(L"OLE")});
    EXPECT_EQ(E_INVALIDARG, other.hr);
    EXPECT_NE(std::wstring::npos, other.description.find(L"Parameterwert"));

    auto inbox = Call(ns.Get(), L"GetDefaultFolder", {Variant(6)});
    ASSERT_EQ(S_OK, inbox.hr);
    EXPECT_EQ(L"Posteingang", Text(inbox.Object(), L"Name"));
    EXPECT_EQ(0, Get(inbox.Object(), L"DefaultItemType").value.ToLong(-1));
    EXPECT_EQ(world->Mailbox().Id(), Text(inbox.Object(), L"StoreID"));

    // A default calendar exists once the mailbox has a calendar folder.
    EXPECT_EQ(kNotFound, Call(ns.Get(), L"GetDefaultFolder", {Variant(9)}).hr);
    ASSERT_NE(nullptr, world->AddFolder(L"Kalender", StoreKind::Mailbox, olAppointmentItem));
    auto calendar = Call(ns.Get(), L"GetDefaultFolder", {Variant(9)});
    ASSERT_EQ(S_OK, calendar.hr);
    EXPECT_EQ(L"Kalender", Text(calendar.Object(), L"Name"));
    EXPECT_EQ(1, Get(calendar.Object(), L"DefaultItemType").value.ToLong(-1));

    EXPECT_TRUE(InOrder(
        world->GetTrace().Lines(),
        {L"outlook: GetNamespace(\"MAPI\")", L"outlook: GetNamespace(\"mapi\")",
         L"outlook: GetNamespace(\"OLE\") -> error 0x80070057", L"outlook: GetDefaultFolder(6) -> \"Posteingang\"",
         L"outlook: MAPIFolder(\"Posteingang\").Name -> \"Posteingang\"",
         L"outlook: GetDefaultFolder(9) -> error 0x8004010F", L"outlook: GetDefaultFolder(9) -> \"Kalender\""}));
}

TEST_F(OutlookModel, GetFolderFromIdNeedsTheStoreOutsideTheMailbox)
{
    ComPtr<IDispatch> ns = Mapi();
    outlooksim::Folder* support = world->AddFolder(L"Support");
    ASSERT_NE(nullptr, world->AddFolder(L"Anfragen", StoreKind::Public, olMailItem, L"Support"));
    const std::wstring entry = support->EntryId();
    const std::wstring store = support->StoreId();

    auto found = Call(ns.Get(), L"GetFolderFromID", {Variant(entry), Variant(store)});
    ASSERT_EQ(S_OK, found.hr);
    EXPECT_EQ(L"Support", Text(found.Object(), L"Name"));

    std::wstring lowerEntry = entry, lowerStore = store;
    for (auto* s : {&lowerEntry, &lowerStore})
        for (auto& c : *s)
            c = static_cast<wchar_t>(std::towlower(c));
    EXPECT_EQ(S_OK, Call(ns.Get(), L"GetFolderFromID", {Variant(lowerEntry), Variant(lowerStore)}).hr)
        << "identifiers stand for binary values: letter case does not matter";

    // The store passed by reference, as Visual Basic passes a variable.
    Variant byRef;
    byRef.vt = VT_BSTR | VT_BYREF;
    com::Bstr storeText(store);
    BSTR storeBstr = storeText.get();
    byRef.pbstrVal = &storeBstr;
    EXPECT_EQ(S_OK, Call(ns.Get(), L"GetFolderFromID", {Variant(entry), byRef}).hr);
    byRef.vt = VT_EMPTY; // not owned

    // Without a store, only the default store is searched.
    auto noStore = Call(ns.Get(), L"GetFolderFromID", {Variant(entry)});
    EXPECT_EQ(kNotFound, noStore.hr);
    EXPECT_EQ(L"Der Vorgang ist fehlgeschlagen. Ein Objekt wurde nicht gefunden.", noStore.description);
    EXPECT_EQ(S_OK, Call(ns.Get(), L"GetFolderFromID", {Variant(world->Inbox()->EntryId())}).hr);
    EXPECT_EQ(S_OK, Call(ns.Get(), L"GetFolderFromID", {Variant(world->Inbox()->EntryId()), Variant(L"")}).hr);

    // The wrong store, an unknown store, an unknown or malformed entry.
    EXPECT_EQ(kNotFound, Call(ns.Get(), L"GetFolderFromID", {Variant(entry), Variant(world->Mailbox().Id())}).hr);
    auto unknownStore = Call(ns.Get(), L"GetFolderFromID", {Variant(entry), Variant(L"0000ABCD")});
    EXPECT_EQ(kNotFound, unknownStore.hr);
    EXPECT_NE(std::wstring::npos, unknownStore.description.find(L"Informationsspeicher"));
    std::wstring unknownEntry = entry;
    unknownEntry[80] = unknownEntry[80] == L'F' ? L'E' : L'F';
    EXPECT_EQ(kNotFound, Call(ns.Get(), L"GetFolderFromID", {Variant(unknownEntry), Variant(store)}).hr);
    auto malformed = Call(ns.Get(), L"GetFolderFromID", {Variant(L"Support"), Variant(store)});
    EXPECT_EQ(kInvalidEntryId, malformed.hr);
    EXPECT_FALSE(malformed.description.empty());

    // A deleted folder and the folders below it are gone.
    const std::wstring below = world->FindFolder(L"Anfragen")->EntryId();
    ASSERT_TRUE(world->DeleteFolder(L"Support"));
    EXPECT_EQ(kNotFound, Call(ns.Get(), L"GetFolderFromID", {Variant(entry), Variant(store)}).hr);
    EXPECT_EQ(kNotFound, Call(ns.Get(), L"GetFolderFromID", {Variant(below), Variant(store)}).hr);
    EXPECT_EQ(nullptr, world->FindFolder(L"Anfragen"));
    EXPECT_FALSE(world->DeleteFolder(L"Support"));

    EXPECT_TRUE(InOrder(world->GetTrace().Lines(),
                        {L"outlook: GetFolderFromID(00000000\u2026", L"-> \"Support\"",
                         L"-> error 0x8004010F: Der Vorgang ist fehlgeschlagen. Ein Objekt wurde nicht gefunden."}));
}

TEST_F(OutlookModel, ItemAddReachesEveryHeldItemsCollectionAtOnce)
{
    outlooksim::Folder* support = world->AddFolder(L"Support");
    ASSERT_NE(nullptr, world->AddFolder(L"Vertrieb"));
    ComPtr<IDispatch> items1 = com::GetObjectProperty(AsDispatch(support), L"Items");
    ComPtr<IDispatch> items2 = com::GetObjectProperty(AsDispatch(support), L"Items");
    ComPtr<IDispatch> quiet = com::GetObjectProperty(AsDispatch(support), L"Items");
    ASSERT_TRUE(items1 && items2 && quiet);
    EXPECT_NE(items1.Get(), items2.Get()) << "each call hands out a new collection";
    auto first = std::make_unique<ItemAddRecorder>();
    auto second = std::make_unique<ItemAddRecorder>();
    ASSERT_EQ(S_OK, first->connection.Assign(items1.Get()));
    ASSERT_EQ(S_OK, second->connection.Assign(items2.Get()));
    EXPECT_EQ(2, support->SubscriberCount());
    Fresh();

    DATE received = 0;
    SYSTEMTIME st{2024, 5, 0, 1, 10, 15, 0, 0};
    ::SystemTimeToVariantTime(&st, &received);
    ComPtr<IDispatch> mail = world->Deliver(L"Support", olMailItem, {L"Drucker defekt", L"Erika Mustermann", received});
    ASSERT_TRUE(mail);
    // Raised synchronously, with the item itself.
    ASSERT_EQ(1u, first->items.size());
    ASSERT_EQ(1u, second->items.size());
    EXPECT_EQ(mail.Get(), first->items[0].Get());
    EXPECT_EQ(mail.Get(), second->items[0].Get());
    EXPECT_TRUE(InOrder(Fresh(), {L"outlook: ItemAdd raised on \"Support\" (2 subscribers)"}));

    IDispatch* item = first->items[0].Get();
    EXPECT_EQ(L"Drucker defekt", Text(item, L"Subject"));
    EXPECT_EQ(L"Erika Mustermann", Text(item, L"SenderName"));
    Variant when = Get(item, L"ReceivedTime").value;
    EXPECT_EQ(VT_DATE, when.vt);
    EXPECT_DOUBLE_EQ(received, when.date);
    ComPtr<_MailItem> asMail;
    ASSERT_EQ(S_OK, item->QueryInterface(kOlIidMailItem, reinterpret_cast<void**>(asMail.GetAddressOf())));
    com::Bstr subject;
    EXPECT_EQ(S_OK, asMail->get_Subject(subject.put()));
    EXPECT_EQ(L"Drucker defekt", subject.str());
    ComPtr<IUnknown> asPost;
    EXPECT_EQ(E_NOINTERFACE, item->QueryInterface(IID__PostItem, reinterpret_cast<void**>(asPost.GetAddressOf())));

    // A collection that is let go of hears nothing more; other folders' items do not count.
    second.reset();
    items2.Reset();
    EXPECT_EQ(1, support->SubscriberCount());
    world->Deliver(L"Vertrieb", olMailItem, {L"Anderswo", L"Jonas Weber", 0});
    ComPtr<IDispatch> post = world->Deliver(L"Support", olPostItem, {L"Aushang", L"Jonas Weber", 0});
    ASSERT_EQ(2u, first->items.size());
    EXPECT_EQ(post.Get(), first->items[1].Get());
    EXPECT_TRUE(InOrder(Fresh(), {L"outlook: ItemAdd raised on \"Vertrieb\" (0 subscribers)",
                                  L"outlook: ItemAdd raised on \"Support\" (1 subscriber)"}));
    ComPtr<IUnknown> postItem;
    EXPECT_EQ(S_OK, post->QueryInterface(IID__PostItem, reinterpret_cast<void**>(postItem.GetAddressOf())));
    EXPECT_EQ(E_NOINTERFACE, post->QueryInterface(kOlIidMailItem, reinterpret_cast<void**>(postItem.GetAddressOf())));
    // Without a date the item is stamped with the time of delivery.
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    DATE today = 0;
    ::SystemTimeToVariantTime(&now, &today);
    EXPECT_NEAR(today, Get(post.Get(), L"ReceivedTime").value.date, 2.0 / (24 * 60));
    EXPECT_EQ(2u, support->Contents().size());

    EXPECT_FALSE(world->Deliver(L"Nirgendwo", olMailItem, {}));
}

TEST_F(OutlookModel, ExplorerShowsAFolderAndMayBeAbsent)
{
    world->AddFolder(L"Support");
    ComPtr<IDispatch> explorer = com::GetObjectProperty(app.Get(), L"ActiveExplorer");
    ASSERT_TRUE(explorer);
    EXPECT_EQ(L"Posteingang", Text(com::GetObjectProperty(explorer.Get(), L"CurrentFolder").Get(), L"Name"));
    Fresh();

    ComPtr<IDispatch> support =
        Call(Mapi().Get(), L"GetFolderFromID",
             {Variant(world->FindFolder(L"Support")->EntryId()), Variant(world->PublicStore().Id())})
            .value.ToDispatch();
    EXPECT_EQ(S_OK, com::PutPropertyRef(explorer.Get(), L"CurrentFolder", support.Get()));
    EXPECT_EQ(S_OK, Call(explorer.Get(), L"Activate").hr);
    EXPECT_EQ(world->FindFolder(L"Support"), world->ActiveExplorer()->Current());
    EXPECT_EQ(1, world->ActiveExplorer()->Activations());
    EXPECT_TRUE(InOrder(Fresh(), {L"outlook: Explorer.CurrentFolder = \"Support\"", L"outlook: Explorer.Activate"}));

    // Only a folder can be shown (the dispatch layer already asks the argument for MAPIFolder).
    EXPECT_TRUE(FAILED(com::PutPropertyRef(explorer.Get(), L"CurrentFolder", app.Get())));

    // A deleted folder is not shown any more.
    ASSERT_TRUE(world->DeleteFolder(L"Support"));
    EXPECT_EQ(L"Alle \u00D6ffentlichen Ordner", world->ActiveExplorer()->CurrentName());
    EXPECT_EQ(kNotFound, com::PutPropertyRef(explorer.Get(), L"CurrentFolder", support.Get()));

    // Without an explorer, ActiveExplorer returns Nothing; the old one answers with errors.
    world->RemoveExplorer();
    auto none = Call(app.Get(), L"ActiveExplorer");
    EXPECT_EQ(S_OK, none.hr);
    EXPECT_EQ(nullptr, none.value.ToDispatch().Get());
    auto closed = Call(explorer.Get(), L"Activate");
    EXPECT_EQ(E_FAIL, closed.hr);
    EXPECT_FALSE(closed.description.empty());
    EXPECT_TRUE(InOrder(Fresh(), {L"outlook: ActiveExplorer -> Nothing", L"outlook: Explorer.Activate"}));

    world->RestoreExplorer();
    ComPtr<IDispatch> again = com::GetObjectProperty(app.Get(), L"ActiveExplorer");
    ASSERT_TRUE(again);
    EXPECT_NE(explorer.Get(), again.Get());
    EXPECT_EQ(L"Posteingang", world->ActiveExplorer()->CurrentName());
}

TEST_F(OutlookModel, FolderNamesAndKinds)
{
    outlooksim::Folder* board = world->AddFolder(L"Schwarzes Brett", StoreKind::Public, olPostItem);
    outlooksim::Folder* contacts = world->AddFolder(L"Kontakte", StoreKind::Mailbox, olContactItem);
    ASSERT_TRUE(board && contacts);
    EXPECT_EQ(6, Get(AsDispatch(board), L"DefaultItemType").value.ToLong(-1));
    EXPECT_EQ(2, Get(AsDispatch(contacts), L"DefaultItemType").value.ToLong(-1));
    EXPECT_EQ(contacts, world->Mailbox().DefaultFolder(olFolderContacts));

    EXPECT_EQ(nullptr, world->AddFolder(L"Kontakte")) << "folder names are unique in a world";
    EXPECT_EQ(nullptr, world->AddFolder(L"Neu", StoreKind::Public, olMailItem, L"Unbekannt"));

    EXPECT_EQ(S_OK, com::PutProperty(AsDispatch(board), L"Name", Variant(L"Aushang")));
    EXPECT_EQ(board, world->FindFolder(L"Aushang"));
    EXPECT_EQ(E_INVALIDARG, com::PutProperty(AsDispatch(board), L"Name", Variant(L"")));
    EXPECT_TRUE(world->GetTrace().Contains(L"outlook: MAPIFolder(\"Schwarzes Brett\").Name = \"Aushang\""));
}

// Up to 16 items at once raise ItemAdd each, more raise none. Count, Item
// and Sort answer under Outlook's dispatch identifiers; Item takes
// positions 1 to Count in the collection's order, Sort orders by
// ReceivedTime.
TEST_F(OutlookModel, ABurstRaisesNoItemAddAndItemsAreReadBySizePositionAndReceivedTime)
{
    outlooksim::Folder* support = world->AddFolder(L"Support");
    ComPtr<IDispatch> items = com::GetObjectProperty(AsDispatch(support), L"Items");
    ASSERT_TRUE(items);
    ItemAddRecorder recorder;
    ASSERT_EQ(S_OK, recorder.connection.Assign(items.Get()));
    const std::pair<const wchar_t*, DISPID> ids[] = {
        {L"Count", OL_DISPID_ITEMS_COUNT}, {L"Item", OL_DISPID_ITEMS_ITEM}, {L"Sort", OL_DISPID_ITEMS_SORT}};
    for (const auto& [name, id] : ids) {
        DISPID found = DISPID_UNKNOWN;
        EXPECT_EQ(S_OK, com::DispIdOf(items.Get(), name, &found));
        EXPECT_EQ(id, found) << com::Narrow(name);
    }

    // Each batch delivered newest first, a minute apart, on a day of its own.
    auto batch = [](int n, const wchar_t* subject, double day) {
        std::vector<outlooksim::ItemData> data;
        for (int i = n; i >= 1; --i)
            data.push_back({subject + std::to_wstring(i), L"Jonas Weber", day + i / 1440.0});
        return data;
    };
    ASSERT_TRUE(world->DeliverAtOnce(L"Support", olMailItem, batch(16, L"Klein ", 45000)));
    EXPECT_EQ(16u, recorder.items.size());
    Fresh();
    ASSERT_TRUE(world->DeliverAtOnce(L"Support", olMailItem, batch(17, L"Gross ", 45001)));
    EXPECT_EQ(16u, recorder.items.size()) << "more than 16 at once: no ItemAdd";
    EXPECT_TRUE(InOrder(Fresh(), {L"outlook: no ItemAdd raised on \"Support\": 17 items at once (more than 16)"}));
    ASSERT_TRUE(world->DeliverAtOnce(L"Support", olMailItem, batch(3, L"Grenze ", 44999), 2));
    EXPECT_EQ(16u, recorder.items.size()) << "a limit of the scenario's own";

    EXPECT_EQ(36, Get(items.Get(), L"Count").value.ToLong(-1));
    EXPECT_EQ(L"Klein 16", Text(Call(items.Get(), L"Item", {Variant(1L)}).Object(), L"Subject")) << "delivery order";
    EXPECT_EQ(S_OK, Call(items.Get(), L"Sort", {Variant(L"[ReceivedTime]"), Variant(true)}).hr);
    EXPECT_EQ(L"Gross 17", Text(Call(items.Get(), L"Item", {Variant(1L)}).Object(), L"Subject"));
    EXPECT_EQ(L"Klein 16", Text(Call(items.Get(), L"Item", {Variant(18L)}).Object(), L"Subject"));
    EXPECT_EQ(L"Grenze 1", Text(Call(items.Get(), L"Item", {Variant(36L)}).Object(), L"Subject"));
    EXPECT_EQ(S_OK, Call(items.Get(), L"Sort", {Variant(L"ReceivedTime")}).hr);
    EXPECT_EQ(L"Grenze 1", Text(Call(items.Get(), L"Item", {Variant(1L)}).Object(), L"Subject"));

    const hosttest::CallResult outside = Call(items.Get(), L"Item", {Variant(37L)});
    EXPECT_EQ(DISP_E_BADINDEX, outside.hr);
    EXPECT_EQ(L"Array index out of bounds.", outside.description);
    EXPECT_EQ(DISP_E_BADINDEX, Call(items.Get(), L"Item", {Variant(0L)}).hr);
    EXPECT_EQ(E_INVALIDARG, Call(items.Get(), L"Sort", {Variant(L"[Farbe]")}).hr);
    EXPECT_FALSE(world->DeliverAtOnce(L"Nirgendwo", olMailItem, batch(1, L"x", 45000)));
}
