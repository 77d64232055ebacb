// A folder's Properties dialog: OptionsPagesAdd reaches the add-in, the
// pages it adds are hosted in a real property sheet as OLE controls with
// Outlook's PropertyPageSite, and Apply and OK call PropertyPage::Apply
// through the page's vtable when its Dirty says so.
#include "AddinHost.h"
#include "FolderPropertiesDialog.h"
#include "HostTestSupport.h"
#include "MessagePump.h"
#include "NameSpace.h"
#include "PageHost.h"
#include "com/EventSink.h"
#include "hostprobe.h"
#include "outlook/OutlookIds.h"

using com::ComPtr;
using com::Variant;
using hosttest::InOrder;
using outlooksim::FolderPropertiesDialog;
using Button = outlooksim::FolderPropertiesDialog::Button;

namespace {

// The probe add-in connected: it adds its page to every mail folder's dialog.
class PropertiesDialog : public hosttest::WorldTest {
  protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        CLSID clsid{};
        ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"corvaneHostProbe.Recorder", &clsid));
        ASSERT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&recorder)));
        ASSERT_NE(nullptr, world->AddFolder(L"Support"));
        host = std::make_unique<outlooksim::AddinHost>(world->GetTrace(), app.Get());
        ASSERT_TRUE(host->Connect(L"corvaneHostProbe.Addin"));
        ASSERT_EQ(S_OK, host->Object()->QueryInterface(IID_PPV_ARGS(&probe)));
        recorder->ClearCalls();
        Fresh();
    }
    void TearDown() override
    {
        world->CloseProperties();
        probe.Reset();
        host.reset();
        recorder.Reset();
        WorldTest::TearDown();
    }

    std::vector<std::wstring> ProbeCalls()
    {
        com::Bstr calls;
        recorder->get_Calls(calls.put());
        return hosttest::Lines(calls.str());
    }
    bool ProbeCalled(const std::wstring& text)
    {
        for (const auto& line : ProbeCalls())
            if (line.find(text) != std::wstring::npos)
                return true;
        return false;
    }
    // The page the probe added last.
    ComPtr<IProbePage> Page()
    {
        ComPtr<IDispatch> page;
        probe->get_LastPage(&page);
        ComPtr<IProbePage> probePage;
        if (page)
            page.As(&probePage);
        return probePage;
    }
    long ApplyCount()
    {
        long n = -1;
        Page()->get_ApplyCount(&n);
        return n;
    }

    ComPtr<IProbeRecorder> recorder;
    std::unique_ptr<outlooksim::AddinHost> host;
    ComPtr<IProbeAddin> probe;
};

} // namespace

TEST_F(PropertiesDialog, RaisesOptionsPagesAddAndHostsTheAddedPage)
{
    FolderPropertiesDialog* dialog = world->OpenProperties(L"Support");
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(dialog->IsOpen());
    EXPECT_TRUE(InOrder(Fresh(), {L"outlook: OptionsPagesAdd raised for \"Support\" (1 subscriber)",
                                  L"outlook: PropertyPages.Add(page, \"\") -> page 1 \"Probe\"",
                                  L"outlook: page \"Probe\": SetClientSite -> 0x00000000",
                                  L"outlook: page \"Probe\": DoVerb(OLEIVERB_INPLACEACTIVATE) -> 0x00000000, in place",
                                  L"outlook: page \"Probe\": GetPageInfo -> 0x00000000",
                                  L"outlook: Properties of \"Support\" shown with 2 pages: \"Allgemein\", \"Probe\""}));
    EXPECT_TRUE(
        InOrder(ProbeCalls(), {L"OptionsPagesAdd(\"Support\", DefaultItemType 0)",
                               L"Pages.Add(page, \"\") -> 0x00000000", L"page: SetClientSite, PropertyPageSite found",
                               L"page: DoVerb(-5), window context 0x00000000 with frame, in the site's window",
                               L"page: GetPageInfo"}));

    // The control's window lives in the page, which lives in the sheet.
    EXPECT_EQ((std::vector<std::wstring>{L"Allgemein", L"Probe"}), dialog->Titles());
    ASSERT_EQ(1u, dialog->AddinPageCount());
    outlooksim::PageHost* page = dialog->AddinPage(0);
    ASSERT_TRUE(page->InPlace());
    EXPECT_EQ(page->Window(), ::GetParent(page->ControlWindow()));
    EXPECT_TRUE(::IsChild(dialog->Window(), page->ControlWindow()));
    long window = 0;
    Page()->get_Window(&window);
    EXPECT_EQ(page->ControlWindow(), reinterpret_cast<HWND>(static_cast<LONG_PTR>(window)));
    VARIANT_BOOL hasSite = VARIANT_FALSE;
    Page()->get_HasSite(&hasSite);
    EXPECT_EQ(VARIANT_TRUE, hasSite);

    EXPECT_TRUE(dialog->Select(L"Probe"));
    EXPECT_EQ(L"Probe", dialog->CurrentTitle());
    EXPECT_TRUE(dialog->Select(L"1"));
    EXPECT_EQ(L"Allgemein", dialog->CurrentTitle());
    EXPECT_FALSE(dialog->Select(L"Berechtigungen"));
}

TEST_F(PropertiesDialog, ApplyCallsThePageThroughItsVtableWhenDirty)
{
    FolderPropertiesDialog* dialog = world->OpenProperties(L"Support");
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(dialog->ApplyEnabled());
    EXPECT_FALSE(dialog->Press(Button::Apply)) << "a disabled button cannot be pressed";
    Fresh();

    // The page reports a change: the host asks Dirty again and enables Apply.
    ASSERT_EQ(S_OK, Page()->MarkDirty());
    EXPECT_TRUE(InOrder(Fresh(), {L"outlook: PropertyPageSite.OnStatusChange from \"Probe\"",
                                  L"outlook: page \"Probe\": Dirty -> True"}));
    EXPECT_TRUE(dialog->ApplyEnabled());

    ASSERT_TRUE(dialog->Press(Button::Apply));
    EXPECT_EQ(1, ApplyCount());
    EXPECT_TRUE(
        InOrder(Fresh(), {L"outlook: page \"Probe\": Dirty -> True", L"outlook: page \"Probe\": Apply -> 0x00000000"}));
    EXPECT_TRUE(InOrder(ProbeCalls(), {L"page: Dirty -> True", L"page: Apply (1)", L"watching \"Support\""}));
    EXPECT_TRUE(dialog->IsOpen());
    EXPECT_FALSE(dialog->ApplyEnabled());

    // The page applied makes the add-in watch the folder: new items reach it.
    world->Deliver(L"Support", olMailItem, {L"Nach dem Anwenden", L"Erika Mustermann", 0});
    EXPECT_TRUE(ProbeCalled(L"ItemAdd(\"Support\"): Subject \"Nach dem Anwenden\""));

    // OK applies again while the page says it is dirty, then the dialog goes.
    ASSERT_TRUE(dialog->Press(Button::Ok));
    EXPECT_EQ(2, ApplyCount());
    EXPECT_EQ(nullptr, world->Properties());
    EXPECT_TRUE(InOrder(
        Fresh(), {L"outlook: page \"Probe\": Apply -> 0x00000000", L"outlook: Properties of \"Support\" closed (OK)"}));
    EXPECT_TRUE(InOrder(ProbeCalls(), {L"page: Apply (2)", L"page: InPlaceDeactivate", L"page: Close",
                                       L"page: SetClientSite(Nothing)"}));
}

TEST_F(PropertiesDialog, OkWithACleanPageAndCancelDoNotApply)
{
    FolderPropertiesDialog* dialog = world->OpenProperties(L"Support");
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(dialog->Press(Button::Ok));
    EXPECT_EQ(0, ApplyCount());
    EXPECT_TRUE(InOrder(
        Fresh(), {L"outlook: page \"Probe\": Dirty -> False", L"outlook: Properties of \"Support\" closed (OK)"}));
    EXPECT_FALSE(ProbeCalled(L"page: Apply"));

    dialog = world->OpenProperties(L"Support");
    ASSERT_NE(nullptr, dialog);
    Page()->MarkDirty();
    ASSERT_TRUE(dialog->Press(Button::Cancel));
    EXPECT_EQ(0, ApplyCount());
    EXPECT_EQ(nullptr, world->Properties());
    EXPECT_TRUE(InOrder(Fresh(), {L"outlook: Properties of \"Support\" closed (Cancel)"}));
    EXPECT_FALSE(ProbeCalled(L"page: Apply"));
}

TEST_F(PropertiesDialog, ClickingTheButtonOnThePageMarksItDirty)
{
    FolderPropertiesDialog* dialog = world->OpenProperties(L"Support");
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(dialog->Click(L"Gibt es nicht"));
    ASSERT_TRUE(dialog->Click(L"\u00C4ndern"));
    EXPECT_EQ(L"Probe", dialog->CurrentTitle()) << "the page of the button is shown first";
    EXPECT_TRUE(InOrder(ProbeCalls(), {L"page: button clicked", L"page: MarkDirty, OnStatusChange -> 0x00000000"}));
    EXPECT_TRUE(dialog->ApplyEnabled());
}

TEST_F(PropertiesDialog, OtherFoldersThanMailFoldersGetNoPage)
{
    ASSERT_NE(nullptr, world->AddFolder(L"Kalender", outlooksim::StoreKind::Mailbox, olAppointmentItem));
    FolderPropertiesDialog* dialog = world->OpenProperties(L"Kalender");
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(ProbeCalled(L"OptionsPagesAdd(\"Kalender\", DefaultItemType 1)"));
    EXPECT_EQ((std::vector<std::wstring>{L"Allgemein"}), dialog->Titles());
    EXPECT_EQ(nullptr, world->OpenProperties(L"Unbekannt"));
}

// The page collection itself, from a subscriber of the test's own.
TEST_F(PropertiesDialog, PagesAreAddedByObjectOrProgIdOnlyWhileTheEventRuns)
{
    ComPtr<IDispatch> pages;
    std::vector<HRESULT> added;
    com::EventConnection subscriber(kOlDiidNameSpaceEvents, [&](DISPID id, DISPPARAMS* p) {
        if (id != OL_DISPID_OPTIONSPAGESADD)
            return;
        pages = Variant(com::EventArg(p, 0)).ToDispatch();
        added.push_back(com::CallMethod(pages.Get(), L"Add", {Variant(L"corvaneHostProbe.Page"), Variant(L"Eigene")}));
        added.push_back(com::CallMethod(pages.Get(), L"Add", {Variant(L"corvaneHostProbe.Page")}));
        added.push_back(com::CallMethod(pages.Get(), L"Add", {Variant(L"corvaneHostProbe.NoSuchClass")}));
        added.push_back(com::CallMethod(pages.Get(), L"Add", {Variant(42)}));
    });
    ASSERT_EQ(S_OK, subscriber.Assign(Mapi().Get()));

    FolderPropertiesDialog* dialog = world->OpenProperties(L"Support");
    ASSERT_NE(nullptr, dialog);
    ASSERT_EQ(4u, added.size());
    EXPECT_EQ(S_OK, added[0]);
    EXPECT_EQ(S_OK, added[1]) << "the title may be left out";
    EXPECT_TRUE(FAILED(added[2]));
    EXPECT_TRUE(FAILED(added[3]));
    // The probe add-in's page comes first: it subscribed first.
    EXPECT_EQ((std::vector<std::wstring>{L"Allgemein", L"Probe", L"Eigene", L"Probe"}), dialog->Titles());
    EXPECT_TRUE(InOrder(Fresh(), {L"outlook: OptionsPagesAdd raised for \"Support\" (2 subscribers)"}));

    ASSERT_TRUE(pages);
    EXPECT_EQ(3, hosttest::Get(pages.Get(), L"Count").value.ToLong(-1));
    EXPECT_EQ(L"Support", hosttest::Text(hosttest::Get(pages.Get(), L"Parent").Object(), L"Name"));
    EXPECT_EQ(71, hosttest::Get(pages.Get(), L"Class").value.ToLong(-1));
    EXPECT_EQ(app.Get(), hosttest::Get(pages.Get(), L"Application").value.ToDispatch().Get());
    EXPECT_EQ(S_OK, hosttest::Call(pages.Get(), L"Item", {Variant(2)}).hr);
    EXPECT_EQ(S_OK, hosttest::Call(pages.Get(), L"Item", {Variant(L"Eigene")}).hr);
    EXPECT_TRUE(FAILED(hosttest::Call(pages.Get(), L"Item", {Variant(4)}).hr));
    auto late = hosttest::Call(pages.Get(), L"Add", {Variant(L"corvaneHostProbe.Page"), Variant(L"Zu sp\u00E4t")});
    EXPECT_EQ(E_FAIL, late.hr);
    EXPECT_FALSE(late.description.empty());
    EXPECT_TRUE(FAILED(hosttest::Call(pages.Get(), L"Remove", {Variant(1)}).hr));
    subscriber.Clear();
}

// Outlook answers PropertyPageSite on the page's client site, not on the
// container behind it; the container route, for pages that look there,
// answers it only on the container.
TEST_F(PropertiesDialog, ThePageSiteIsOnTheClientSiteOrOnTheContainer)
{
    for (auto route : {outlooksim::SheetRoutes::Site::Client, outlooksim::SheetRoutes::Site::Container}) {
        SCOPED_TRACE(route == outlooksim::SheetRoutes::Site::Client ? "client" : "container");
        world->SetSheetRoutes({route, outlooksim::SheetRoutes::Keys::Accelerator});
        FolderPropertiesDialog* dialog = world->OpenProperties(L"Support");
        ASSERT_NE(nullptr, dialog);
        ComPtr<IOleObject> ole;
        ASSERT_EQ(S_OK, dialog->AddinPage(0)->Control()->QueryInterface(IID_PPV_ARGS(&ole)));
        ComPtr<IOleClientSite> site;
        ASSERT_EQ(S_OK, ole->GetClientSite(&site));
        ComPtr<IOleContainer> container;
        ASSERT_EQ(S_OK, site->GetContainer(&container));
        ComPtr<IUnknown> onSite, onContainer;
        const HRESULT siteAnswer =
            site->QueryInterface(IID_PropertyPageSite, reinterpret_cast<void**>(onSite.GetAddressOf()));
        const HRESULT containerAnswer =
            container->QueryInterface(IID_PropertyPageSite, reinterpret_cast<void**>(onContainer.GetAddressOf()));
        const bool client = route == outlooksim::SheetRoutes::Site::Client;
        EXPECT_EQ(client ? S_OK : E_NOINTERFACE, siteAnswer);
        EXPECT_EQ(client ? E_NOINTERFACE : S_OK, containerAnswer);
        EXPECT_TRUE(ProbeCalled(L"page: SetClientSite, PropertyPageSite found"));
        // Either way the page's change reaches the dialog.
        Fresh();
        ASSERT_EQ(S_OK, Page()->MarkDirty());
        EXPECT_TRUE(InOrder(Fresh(), {L"outlook: PropertyPageSite.OnStatusChange from \"Probe\""}));
        world->CloseProperties();
        recorder->ClearCalls();
    }
}
