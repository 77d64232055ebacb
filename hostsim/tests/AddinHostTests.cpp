// The host loads the probe add-in by its ProgID through the real COM
// registration and drives IDTExtensibility2 the way Outlook does; the probe
// records what it received and what the stand-in answered it.
#include "AddinHost.h"
#include "HostTestSupport.h"
#include "hostprobe.h"

using com::ComPtr;
using hosttest::InOrder;

namespace {

class AddinHostTest : public hosttest::WorldTest {
  protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        CLSID clsid{};
        ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"corvaneHostProbe.Recorder", &clsid));
        ASSERT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&recorder)));
        recorder->ClearCalls();
        host = std::make_unique<outlooksim::AddinHost>(world->GetTrace(), app.Get());
    }
    void TearDown() override
    {
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

    ComPtr<IProbeRecorder> recorder;
    std::unique_ptr<outlooksim::AddinHost> host;
};

} // namespace

TEST_F(AddinHostTest, ConnectsAndDisconnectsTheWayOutlookDoes)
{
    ASSERT_TRUE(host->Connect(L"corvaneHostProbe.Addin"));
    EXPECT_TRUE(host->Connected());
    ComPtr<IProbeAddin> probe;
    ASSERT_EQ(S_OK, host->Object()->QueryInterface(IID_PPV_ARGS(&probe)));

    EXPECT_TRUE(
        InOrder(ProbeCalls(),
                {L"created",
                 L"OnConnection(Application _Application, ConnectMode 1, AddInInst Nothing, "
                 L"custom VT_VARIANT[0])",
                 L"GetNamespace(\"MAPI\") -> NameSpace, subscribed", L"GetDefaultFolder(6) -> \"Posteingang\"",
                 L"GetFolderFromID(inbox) -> \"Posteingang\"", L"GetFolderFromID(inbox, store) -> \"Posteingang\"",
                 L"watching \"Posteingang\"", L"OnStartupComplete(custom VT_VARIANT[0])"}));
    // What the add-in called, between the host's own steps.
    EXPECT_TRUE(InOrder(
        world->GetTrace().Lines(),
        {L"host: connect corvaneHostProbe.Addin", L"host: CoCreateInstance -> 0x00000000",
         L"outlook: GetNamespace(\"MAPI\")", L"outlook: GetDefaultFolder(6) -> \"Posteingang\"",
         L"outlook: MAPIFolder(\"Posteingang\").EntryID", L"outlook: MAPIFolder(\"Posteingang\").StoreID",
         L"outlook: GetFolderFromID(", L"outlook: GetFolderFromID(", L"outlook: MAPIFolder(\"Posteingang\").Items",
         L"host: OnConnection(Application, ext_cm_Startup) -> 0x00000000", L"host: OnStartupComplete -> 0x00000000"}));

    // The subscription made during OnConnection hears new items.
    world->Deliver(L"Posteingang", olMailItem, {L"Hallo", L"Erika Mustermann", 45413.5});
    EXPECT_TRUE(InOrder(ProbeCalls(), {L"ItemAdd(\"Posteingang\"): Subject \"Hallo\", SenderName \"Erika Mustermann\", "
                                       L"ReceivedTime 01.05.2024 12:00, _MailItem yes"}));

    recorder->ClearCalls();
    probe.Reset();
    host->Disconnect();
    EXPECT_FALSE(host->Connected());
    host->Release();
    EXPECT_EQ(nullptr, host->Object());
    EXPECT_TRUE(InOrder(ProbeCalls(), {L"OnBeginShutdown(custom VT_VARIANT[0])",
                                       L"OnDisconnection(RemoveMode 0, custom VT_VARIANT[0])", L"released"}));
    EXPECT_TRUE(InOrder(world->GetTrace().Lines(),
                        {L"host: disconnect corvaneHostProbe.Addin", L"host: OnBeginShutdown -> 0x00000000",
                         L"host: OnDisconnection(ext_dm_HostShutdown) -> 0x00000000",
                         L"host: release corvaneHostProbe.Addin"}));
}

TEST_F(AddinHostTest, ConnectsAfterStartupAndReleasesWhatIsStillConnected)
{
    ASSERT_TRUE(host->Connect(L"corvaneHostProbe.Addin", ext_cm_AfterStartup));
    EXPECT_TRUE(InOrder(ProbeCalls(), {L"OnConnection(Application _Application, ConnectMode 0,"}));
    host.reset(); // a host that goes away disconnects first
    EXPECT_TRUE(InOrder(ProbeCalls(), {L"OnBeginShutdown", L"OnDisconnection(RemoveMode 0", L"released"}));
}

TEST_F(AddinHostTest, FailuresAreTracedNotFatal)
{
    EXPECT_FALSE(host->Connect(L"corvaneHostProbe.NoSuchClass"));
    EXPECT_TRUE(world->GetTrace().Contains(L"host: CLSIDFromProgID(\"corvaneHostProbe.NoSuchClass\") -> 0x800401F3"));
    EXPECT_FALSE(host->Connected());

    // A COM class that is not an add-in.
    EXPECT_FALSE(host->Connect(L"corvaneHostProbe.Page"));
    EXPECT_TRUE(world->GetTrace().Contains(L"host: QueryInterface(IDTExtensibility2) -> 0x80004002"));
    EXPECT_EQ(nullptr, host->Object());

    // An add-in whose OnConnection fails is released at once.
    recorder->ClearCalls();
    EXPECT_FALSE(host->Connect(L"corvaneHostProbe.FailingAddin"));
    EXPECT_FALSE(host->Connected());
    EXPECT_EQ(nullptr, host->Object());
    EXPECT_TRUE(InOrder(ProbeCalls(), {L"created", L"OnConnection(", L"released"}));
    EXPECT_FALSE(InOrder(ProbeCalls(), {L"OnStartupComplete"}));
    EXPECT_TRUE(InOrder(world->GetTrace().Lines(), {L"host: OnConnection(Application, ext_cm_Startup) -> 0x80004005",
                                                    L"host: release corvaneHostProbe.FailingAddin"}));

    const size_t lines = world->GetTrace().Lines().size();
    host->Disconnect();
    host->Release();
    EXPECT_EQ(lines, world->GetTrace().Lines().size()) << "nothing to disconnect or release";
}
