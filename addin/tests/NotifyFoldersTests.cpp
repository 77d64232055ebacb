// The folder collection without Outlook: folders whose Outlook folder cannot
// be found are kept; keys, positions, events and errors.
#include <gtest/gtest.h>

#include "AddinTestSupport.h"
#include "DeadNamespace.h"
#include "NotifyFolders.h"
#include "com/EventSink.h"
#include "com/LateBound.h"

using com::Bstr;
using com::ComPtr;

namespace {

class NotifyFoldersTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_folders = com::Make<NotifyFolders>();
    }
    void TearDown() override
    {
        m_folders.Reset();
        ::CoUninitialize();
    }
    long Add(const wchar_t* entryId, const wchar_t* storeId = L"AB", const wchar_t* name = L"Support")
    {
        long count = -1;
        EXPECT_EQ(S_OK, m_folders->Add(Bstr(entryId).get(), Bstr(storeId).get(), Bstr(name).get(), &count));
        return count;
    }
    void GiveNamespace()
    {
        auto ns = com::Make<DeadNamespace>();
        m_folders->putref_OutlookNamespace(ns.Get());
    }
    std::wstring EntryIdAt(long index)
    {
        ComPtr<_NotifyFolder> nf;
        EXPECT_EQ(S_OK, m_folders->GetAt(index, &nf));
        if (!nf)
            return L"<none>";
        Bstr id;
        nf->get_EntryId(id.put());
        return id.str();
    }
    long Count()
    {
        long n = -1;
        m_folders->get_Count(&n);
        return n;
    }

    ComPtr<NotifyFolders> m_folders;
};

} // namespace

TEST_F(NotifyFoldersTest, AddNeedsANamespaceAndKeepsFoldersThatCannotBeFound)
{
    addintest::LogWatch log;
    EXPECT_EQ(0, Add(L"00AA"));
    EXPECT_EQ(0, Count());
    EXPECT_EQ(0u, log.Records());

    GiveNamespace();
    EXPECT_EQ(1, Add(L"00AA"));
    // One error from the folder's connection, one warning from the collection.
    const std::string text = log.Added();
    EXPECT_NE(std::string::npos, text.find("Source   : NotifyFolder::ConnectOutlookFolder()\r\n"));
    EXPECT_NE(std::string::npos, text.find("Message  : Could not connect to outlook folder 00AA\r\n"
                                           "Source   : NotifyFolders::Add()\r\n"));
    EXPECT_EQ(2u, log.Records());

    // The folder is kept with what it was given.
    ComPtr<_NotifyFolder> nf;
    ASSERT_EQ(S_OK, m_folders->GetAt(1, &nf));
    ASSERT_TRUE(nf);
    Bstr store, name;
    nf->get_StoreId(store.put());
    nf->get_FriendlyName(name.put());
    EXPECT_EQ(L"AB", store.str());
    EXPECT_EQ(L"Support", name.str());
    ComPtr<IDispatch> items;
    nf->get_OutlookItems(&items);
    EXPECT_EQ(nullptr, items.Get());
}

TEST_F(NotifyFoldersTest, KeysIgnoreLetterCaseWhileFindComparesExactly)
{
    GiveNamespace();
    EXPECT_EQ(1, Add(L"00aa"));
    EXPECT_EQ(2, Add(L"00BB"));
    EXPECT_EQ(2, Add(L"00AA")); // the same key in other letters: nothing added
    EXPECT_EQ(2, Count());

    VARIANT_BOOL found = VARIANT_TRUE;
    m_folders->Find(Bstr(L"00AA").get(), &found);
    EXPECT_EQ(VARIANT_FALSE, found);
    m_folders->Find(Bstr(L"00aa").get(), &found);
    EXPECT_EQ(VARIANT_TRUE, found);

    ComPtr<_NotifyFolder> nf;
    ASSERT_EQ(S_OK, m_folders->GetFromEntryId(Bstr(L"00AA").get(), &nf));
    ASSERT_TRUE(nf);
    Bstr id;
    nf->get_EntryId(id.put());
    EXPECT_EQ(L"00aa", id.str());
    ASSERT_EQ(S_OK, m_folders->GetFromEntryId(Bstr(L"00CC").get(), &nf));
    EXPECT_FALSE(nf);
}

TEST_F(NotifyFoldersTest, AFolderStaysUnderTheKeyItWasAddedWith)
{
    GiveNamespace();
    Add(L"00AA");
    Add(L"00BB");
    // A plug-in rewrites a folder's EntryId: Find follows the property,
    // the keyed operations keep the key the folder was added under.
    ComPtr<_NotifyFolder> nf;
    ASSERT_EQ(S_OK, m_folders->GetFromEntryId(Bstr(L"00AA").get(), &nf));
    ASSERT_TRUE(nf);
    ASSERT_EQ(S_OK, nf->put_EntryId(Bstr(L"00CC").get()));

    VARIANT_BOOL found = VARIANT_FALSE;
    m_folders->Find(Bstr(L"00CC").get(), &found);
    EXPECT_EQ(VARIANT_TRUE, found);
    ComPtr<_NotifyFolder> byNewId, byKey;
    m_folders->GetFromEntryId(Bstr(L"00CC").get(), &byNewId);
    EXPECT_FALSE(byNewId);
    m_folders->GetFromEntryId(Bstr(L"00aa").get(), &byKey);
    EXPECT_EQ(nf.Get(), byKey.Get());
    EXPECT_EQ(2, Add(L"00AA")); // the key is taken still
    EXPECT_EQ(3, Add(L"00CC")); // and the new identifier is no key yet

    addintest::LogWatch log;
    m_folders->Remove(Bstr(L"00AA").get());
    EXPECT_EQ(0u, log.Records());
    EXPECT_EQ(L"00BB", EntryIdAt(1));
    EXPECT_EQ(L"00CC", EntryIdAt(2));
    EXPECT_EQ(2, Count());
}

TEST_F(NotifyFoldersTest, PositionsEnumerationRemoveAndClear)
{
    GiveNamespace();
    Add(L"01");
    Add(L"02");
    Add(L"03");
    EXPECT_EQ(L"01", EntryIdAt(1));
    EXPECT_EQ(L"03", EntryIdAt(3));
    EXPECT_EQ(L"<none>", EntryIdAt(0));
    EXPECT_EQ(L"<none>", EntryIdAt(4));
    EXPECT_EQ(L"<none>", EntryIdAt(-1));

    // For Each through IDispatch: the folders in insertion order.
    com::Variant enumVar;
    ASSERT_EQ(S_OK, com::InvokeByName(static_cast<_NotifyFolders*>(m_folders.Get()), L"NewEnum", DISPATCH_PROPERTYGET,
                                      nullptr, 0, &enumVar));
    ComPtr<IEnumVARIANT> e;
    ASSERT_EQ(S_OK, enumVar.punkVal->QueryInterface(IID_PPV_ARGS(&e)));
    std::wstring order;
    com::Variant v;
    while (e->Next(1, &v, nullptr) == S_OK) {
        com::Variant id;
        com::GetProperty(v.ToDispatch().Get(), L"EntryId", &id);
        order += id.ToString() + L";";
        v.Clear();
    }
    EXPECT_EQ(L"01;02;03;", order);
    // For Each in a script asks for the standard enumerator identifier.
    com::Variant byId;
    DISPPARAMS none{};
    ASSERT_EQ(S_OK, static_cast<_NotifyFolders*>(m_folders.Get())
                        ->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none, &byId,
                                 nullptr, nullptr));
    EXPECT_EQ(VT_UNKNOWN, byId.vt);

    addintest::LogWatch log;
    m_folders->Remove(Bstr(L"99").get()); // unknown: one error, nothing changes
    EXPECT_EQ(1u, log.Records());
    EXPECT_NE(std::string::npos, log.Added().find("Source   : NotifyFolders::Remove()\r\n"));
    EXPECT_EQ(3, Count());
    m_folders->Remove(Bstr(L"02").get());
    EXPECT_EQ(L"03", EntryIdAt(2));
    m_folders->Clear();
    EXPECT_EQ(0, Count());
    EXPECT_EQ(1u, log.Records());
}

TEST_F(NotifyFoldersTest, HandleItemAddRaisesTheEventWithItsArguments)
{
    std::vector<std::wstring> seen;
    com::EventMember<_NotifyFolders> listener(DIID___NotifyFolders, [&](DISPID id, DISPPARAMS* p) {
        seen.push_back(std::to_wstring(id) + L":" + com::Variant(com::EventArg(p, 1)).ToString() + L":" +
                       com::Variant(com::EventArg(p, 2)).ToString());
    });
    listener.Assign(m_folders.Get());
    auto item = com::Make<DeadNamespace>();
    m_folders->HandleItemAdd(item.Get(), Bstr(L"E1").get(), Bstr(L"S1").get());
    m_folders->HandleItemRemove(item.Get(), Bstr(L"E2").get(), Bstr(L"S2").get());
    m_folders->HandleItemChange(nullptr, Bstr(L"E3").get(), Bstr(L"S3").get());
    EXPECT_EQ((std::vector<std::wstring>{L"1:E1:S1", L"2:E2:S2", L"3:E3:S3"}), seen); // the published identifiers
}
