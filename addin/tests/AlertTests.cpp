// New-item alerts with the Outlook stand-in: items delivered to watched
// folders reach the connect class, which gives the folder's alerts in the
// order tray icon, sound, cursor; the tray icon's double-click opens the
// folder of the latest item. System calls go to recorders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "AddinSeams.h"
#include "AddinTestSupport.h"
#include "Explorer.h"
#include "Folder.h"
#include "NotifyFolders.h"
#include "NotifyFoldersIni.h"
#include "OutlookWorld.h"
#include "ProbeJournal.h"
#include "SeamRecorder.h"
#include "Tarnwell.h"
#include "com/LateBound.h"
#include "frmTrayIcon.h"

using com::Bstr;
using com::ComPtr;
using Lines = std::vector<std::string>;

namespace {

struct Alerts {
    bool tray = false, sound = false, defaultSound = false, cursor = false;
    std::wstring soundFile;
};

class AlertTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // No configured folders: a folder of a configuration file left
        // beside this program would bind only after the start-up, and a
        // test's own folder with the same identifier would not be added.
        m_config = addintest::ReadBytes(m_configPath);
        std::filesystem::remove(std::filesystem::path(m_configPath));
        m_world = std::make_unique<outlooksim::OutlookWorld>(outlooksim::OutlookWorld::Options{false, false});
        m_support = m_world->AddFolder(L"Support");
        m_sales = m_world->AddFolder(L"Vertrieb");
        m_addin = com::Make<Tarnwell>();
        SAFEARRAY* custom = nullptr;
        m_addin->OnConnection(m_world->Application().Get(), ext_cm_Startup, nullptr, &custom);
        m_recorder.emplace(); // from here on the system calls are recorded
    }
    void TearDown() override
    {
        m_recorder.reset();
        if (m_addin)
            m_addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
        m_addin.Reset();
        m_world.reset();
        addintest::PumpUntil(8000, [] { return addintest::FindOwnWindow("corvane.frmSplash") == nullptr; });
        if (!m_config.empty())
            addintest::WriteBytes(m_configPath, m_config);
        ::CoUninitialize();
    }

    const std::string m_configPath = com::Narrow(NotifyFoldersIni::ConfigurationFile());
    std::string m_config;

    ComPtr<_NotifyFolder> Watch(outlooksim::Folder* folder, const Alerts& a)
    {
        long index = 0;
        m_addin->Folders()->Add(Bstr(folder->EntryId()).get(), Bstr(folder->StoreId()).get(),
                                Bstr(folder->Name()).get(), &index);
        ComPtr<_NotifyFolder> nf;
        m_addin->Folders()->GetAt(index, &nf);
        EXPECT_TRUE(nf);
        if (nf) {
            nf->put_ShowTrayIcon(a.tray ? VARIANT_TRUE : VARIANT_FALSE);
            nf->put_PlaySound(a.sound ? VARIANT_TRUE : VARIANT_FALSE);
            nf->put_UseDefaultSound(a.defaultSound ? VARIANT_TRUE : VARIANT_FALSE);
            nf->put_ChangeCursor(a.cursor ? VARIANT_TRUE : VARIANT_FALSE);
            nf->put_SoundFile(Bstr(a.soundFile).get());
        }
        return nf;
    }
    void Deliver(const wchar_t* folder, const wchar_t* subject = L"Anfrage")
    {
        m_world->Deliver(folder, olMailItem, {subject, L"Erika Muster"});
    }
    HWND TrayWindow() const { return m_addin->TrayWindow()->Hwnd(); }
    void Tray(UINT mouse) { ::SendMessageA(TrayWindow(), 1025, 1, mouse); }
    // The last icon and tooltip handed to the shell.
    HICON LastIcon() const
    {
        for (auto it = SeamRecorder::shellCalls.rbegin(); it != SeamRecorder::shellCalls.rend(); ++it)
            if (it->data.uFlags & NIF_ICON)
                return it->data.hIcon;
        return nullptr;
    }
    std::wstring LastTip() const
    {
        for (auto it = SeamRecorder::shellCalls.rbegin(); it != SeamRecorder::shellCalls.rend(); ++it)
            if (it->data.uFlags & NIF_TIP)
                return it->data.szTip;
        return L"<none>";
    }

    std::unique_ptr<outlooksim::OutlookWorld> m_world;
    outlooksim::Folder* m_support = nullptr;
    outlooksim::Folder* m_sales = nullptr;
    ComPtr<Tarnwell> m_addin;
    std::optional<SeamRecorder> m_recorder;
};

} // namespace

TEST_F(AlertTest, AllThreeAlertsInOrderAndTheArrowComesBack)
{
    Watch(m_support, {true, true, true, true, L""});
    addintest::LogWatch log;
    Deliver(L"Support");
    EXPECT_EQ((Lines{"Shell_NotifyIconW 1", "Shell_NotifyIconW 1", "PlaySoundW MailBeep 0x10001",
                     "LoadCursorA system 32512", "CopyIcon", "LoadCursorA module 101", "CopyIcon",
                     "SetSystemCursor 32512", "Sleep 500", "SetSystemCursor 32512"}),
              SeamRecorder::calls);
    EXPECT_EQ(m_addin->TrayWindow()->imgNewMail(), LastIcon());
    EXPECT_EQ(L"Support", LastTip());
    EXPECT_EQ(0u, log.Records());
}

TEST_F(AlertTest, CursorIsRestoredFromTheSavedCopy)
{
    Watch(m_support, {false, false, false, true, L""});
    // The copy of the arrow is what goes back after the pause.
    static HICON saved = ::CopyIcon(::LoadCursor(nullptr, IDC_ARROW));
    SeamRecorder::copyIconResult = saved;
    Deliver(L"Support");
    EXPECT_EQ((Lines{"LoadCursorA system 32512", "CopyIcon", "LoadCursorA module 101", "CopyIcon",
                     "SetSystemCursor 32512", "Sleep 500", "SetSystemCursor 32512"}),
              SeamRecorder::calls);
    ::DestroyCursor(saved);
}

TEST_F(AlertTest, SoundFollowsTheFolderSettings)
{
    namespace fs = std::filesystem;
    // A name outside the code page ("почта"): the path reaches the system whole.
    const fs::path wave = fs::temp_directory_path() / L"corvane-\u043f\u043e\u0447\u0442\u0430.wav";
    std::ofstream(wave) << "RIFF";
    ComPtr<_NotifyFolder> nf = Watch(m_support, {false, true, true, false, L""});
    addintest::LogWatch log;
    Deliver(L"Support"); // default sound, empty file name: the mail sound
    nf->put_UseDefaultSound(VARIANT_FALSE);
    nf->put_SoundFile(Bstr(L"C:\\nicht\\da.wav").get());
    Deliver(L"Support"); // a file that does not exist: silence, no record
    nf->put_SoundFile(Bstr(wave.wstring()).get());
    Deliver(L"Support"); // an existing file, played asynchronously
    nf->put_PlaySound(VARIANT_FALSE);
    nf->put_UseDefaultSound(VARIANT_TRUE);
    Deliver(L"Support"); // no sound at all
    const std::string path = com::ToUtf8(wave.wstring());
    EXPECT_EQ((Lines{"PlaySoundW MailBeep 0x10001", "PlaySoundW " + path + " 0x1"}), SeamRecorder::calls);
    EXPECT_EQ(0u, log.Records());
    fs::remove(wave);
}

TEST_F(AlertTest, AnItemOfAnUnwatchedFolderIsLoggedButBecomesTheDoubleClickTarget)
{
    Watch(m_support, {true, true, true, true, L""});
    addintest::LogWatch log;
    auto item = m_world->Deliver(L"Vertrieb", olMailItem, {L"x", L"y"}); // not watched: no ItemAdd reaches us
    m_addin->Folders()->HandleItemAdd(item.Get(), Bstr(m_sales->EntryId()).get(), Bstr(m_sales->StoreId()).get());
    EXPECT_TRUE(SeamRecorder::calls.empty());
    ASSERT_EQ(1u, log.Records());
    EXPECT_NE(std::string::npos,
              log.Added().find("Type     : Warning\r\nMessage  : The NotifyFolder object for the folder " +
                               com::Narrow(m_sales->EntryId()) +
                               " could not be found\r\nSource   : Tarnwell::NfItemAdd()\r\n"));

    Tray(WM_LBUTTONDOWN);
    Tray(WM_LBUTTONDBLCLK);
    ASSERT_NE(nullptr, m_world->ActiveExplorer());
    EXPECT_EQ(L"Vertrieb", m_world->ActiveExplorer()->CurrentName());
    EXPECT_EQ(1, m_world->ActiveExplorer()->Activations());
    EXPECT_EQ(m_addin->TrayWindow()->imgNoNewMail(), LastIcon());
    EXPECT_EQ(L"Keine neuen Nachrichten", LastTip());
    // The target stays: a second double-click opens the same folder again.
    Tray(WM_LBUTTONDBLCLK);
    EXPECT_EQ(2, m_world->ActiveExplorer()->Activations());
    EXPECT_EQ(1u, log.Records());
}

TEST_F(AlertTest, DoubleClickWithoutTargetExplorerOrFolder)
{
    addintest::LogWatch log;
    const std::string source = "\r\nSource   : Tarnwell::TrayIconLeftDblClick()\r\n";
    // Before any new item.
    Tray(WM_LBUTTONDBLCLK);
    EXPECT_NE(std::string::npos, log.Added().find("Message  : Invalid StoreId or invalid EntryId" + source));
    EXPECT_EQ(L"Keine neuen Nachrichten", LastTip());

    Watch(m_support, {true, false, false, false, L""});
    Deliver(L"Support");
    EXPECT_EQ(L"Support", LastTip());
    // Outlook without an explorer window: nothing opens, the icon is reset.
    m_world->RemoveExplorer();
    Tray(WM_LBUTTONDBLCLK);
    EXPECT_NE(std::string::npos, log.Added().find("Message  : No active explorer available" + source));
    EXPECT_EQ(L"Keine neuen Nachrichten", LastTip());
    m_world->RestoreExplorer();

    // The folder is gone: the explorer still comes to the front with its current folder.
    Deliver(L"Support");
    const std::wstring before = m_world->ActiveExplorer()->CurrentName();
    const std::string entryId = com::Narrow(m_support->EntryId());
    m_world->DeleteFolder(L"Support");
    Tray(WM_LBUTTONDBLCLK);
    EXPECT_NE(std::string::npos,
              log.Added().find("Message  : Could not get MAPI folder from EntryId " + entryId + source));
    EXPECT_EQ(before, m_world->ActiveExplorer()->CurrentName());
    EXPECT_EQ(1, m_world->ActiveExplorer()->Activations());
    EXPECT_EQ(m_addin->TrayWindow()->imgNoNewMail(), LastIcon());
    EXPECT_EQ(3u, log.Records());
}

TEST_F(AlertTest, RightButtonResetsTheIconALeftClickAloneDoesNothing)
{
    Watch(m_support, {true, false, false, false, L""});
    Deliver(L"Support");
    const size_t before = SeamRecorder::shellCalls.size();
    Tray(WM_LBUTTONDOWN);
    Tray(WM_LBUTTONUP);
    Tray(WM_MOUSEMOVE);
    EXPECT_EQ(before, SeamRecorder::shellCalls.size());
    Tray(WM_RBUTTONDOWN);
    EXPECT_EQ(m_addin->TrayWindow()->imgNoNewMail(), LastIcon());
    EXPECT_EQ(L"Keine neuen Nachrichten", LastTip());
    // An item of a folder without the tray alert leaves icon and tooltip alone.
    Watch(m_sales, {false, true, true, false, L""});
    const size_t after = SeamRecorder::shellCalls.size();
    Deliver(L"Vertrieb");
    EXPECT_EQ(after, SeamRecorder::shellCalls.size());
}

TEST_F(AlertTest, CollectionEventFirstThenEachPluginInOrderFailuresTolerated)
{
    ProbeJournal probe;
    ASSERT_TRUE(probe.Loaded());
    ComPtr<_NotifyFolder> nf = Watch(m_support, {false, true, true, false, L""});
    nf->AddPluginByClass(Bstr(L"ZarqProbe").get());
    nf->AddPluginByClass(Bstr(L"ZarqOther").get());
    probe.Take();
    probe.Fail("ZarqProbe.HandleItemAdd");
    // When the collection's event arrives, no plug-in has seen the item yet.
    size_t pluginCallsAtEvent = 99;
    com::EventMember<_NotifyFolders> listener(DIID___NotifyFolders,
                                              [&](DISPID, DISPPARAMS*) { pluginCallsAtEvent = probe.Take().size(); });
    listener.Assign(m_addin->Folders());
    Deliver(L"Support", L"Angebot");
    EXPECT_EQ(0u, pluginCallsAtEvent);
    EXPECT_EQ((Lines{"PlaySoundW MailBeep 0x10001"}), SeamRecorder::calls);
    EXPECT_EQ((Lines{"ZarqProbe#1 HandleItemAdd \"Angebot\" in \"Support\"",
                     "ZarqOther#2 HandleItemAdd \"Angebot\" in \"Support\""}),
              probe.Take());
    listener.Clear();
}

TEST_F(AlertTest, AFolderWhoseCollectionIsGoneIgnoresItems)
{
    ProbeJournal probe;
    auto folders = com::Make<NotifyFolders>();
    ComPtr<IDispatch> app = m_world->Application();
    com::Variant ns;
    com::GetProperty(app.Get(), L"GetNamespace", &ns, {com::Variant(L"MAPI")});
    folders->putref_OutlookNamespace(ns.ToDispatch().Get());
    long index = 0;
    folders->Add(Bstr(m_support->EntryId()).get(), Bstr(m_support->StoreId()).get(), Bstr(L"Support").get(), &index);
    ComPtr<_NotifyFolder> nf;
    folders->GetAt(index, &nf);
    nf->AddPluginByClass(Bstr(L"ZarqProbe").get());
    int events = 0;
    com::EventMember<_NotifyFolders> listener(DIID___NotifyFolders, [&](DISPID, DISPPARAMS*) { ++events; });
    listener.Assign(folders.Get());
    Deliver(L"Support");
    EXPECT_EQ(1, events);
    listener.Clear();
    folders.Reset(); // the collection goes; the folder lives on, still subscribed
    probe.Take();
    Deliver(L"Support");
    EXPECT_TRUE(probe.Take().empty());
    EXPECT_TRUE(SeamRecorder::calls.empty());
}

// While it lives, the page's ProgID names a class that is not registered;
// the registered class comes back afterwards.
class PageClassHidden {
  public:
    PageClassHidden()
    {
        ::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"corvaneProps.zarqPropMain\\CLSID", 0, KEY_READ | KEY_WRITE, m_key.put());
        DWORD size = sizeof m_clsid - sizeof(wchar_t);
        ::RegQueryValueExW(m_key.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(m_clsid), &size);
        Set(L"{6E1B7A2F-0000-4A8B-9F0E-2D1C5B8A7E99}");
    }
    ~PageClassHidden() { Set(m_clsid); }
    PageClassHidden(const PageClassHidden&) = delete;
    PageClassHidden& operator=(const PageClassHidden&) = delete;

  private:
    void Set(const std::wstring& clsid)
    {
        ::RegSetValueExW(m_key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid.c_str()),
                         static_cast<DWORD>((clsid.size() + 1) * sizeof(wchar_t)));
    }
    com::UniqueHKey m_key;
    wchar_t m_clsid[64] = {};
};

TEST_F(AlertTest, PropertiesOfMailFoldersAskForThePageCalendarsDoNot)
{
    // Without the property page's class each opening of a mail folder's
    // dialog gives one Error record, a calendar's gives none.
    PageClassHidden hidden;
    m_world->AddFolder(L"Termine", outlooksim::StoreKind::Mailbox, olAppointmentItem);
    addintest::LogWatch log;
    ASSERT_NE(nullptr, m_world->OpenProperties(L"Termine"));
    m_world->CloseProperties();
    EXPECT_EQ(0u, log.Records());
    ASSERT_NE(nullptr, m_world->OpenProperties(L"Support"));
    m_world->CloseProperties();
    ASSERT_NE(nullptr, m_world->OpenProperties(L"Support"));
    m_world->CloseProperties();
    EXPECT_EQ(2u, log.Records());
    EXPECT_NE(std::string::npos, log.Added().find("Type     : Error\r\nMessage  : Cannot create property page\r\n"
                                                  "Source   : m_olNs_OptionsPages()\r\nCode     : "));
}

// Outlook raises no ItemAdd for a burst; the tray window's timer finds it
// by the folder's item count. Each tick looks at one folder in turn, each
// folder at most once per interval; what came unannounced gets the
// folder's alerts once and goes to the plug-ins oldest first by
// ReceivedTime (the burst is delivered newest first here).
TEST_F(AlertTest, ABurstWithoutItemAddIsFoundByTheTimerAndHandedOnOldestFirst)
{
    struct Interval {
        DWORD saved = g_dwItemCountInterval;
        ~Interval() { g_dwItemCountInterval = saved; }
    } interval;
    ProbeJournal probe;
    ASSERT_TRUE(probe.Loaded());
    ComPtr<_NotifyFolder> nf = Watch(m_support, {true, false, false, false, L""});
    nf->AddPluginByClass(Bstr(L"ZarqProbe").get());
    Watch(m_sales, {true, false, false, false, L""});
    m_world->Deliver(L"Support", olMailItem, {L"Vorher", L"Erika Muster", 44999.0});
    std::vector<outlooksim::ItemData> burst;
    for (int i = 20; i >= 1; --i)
        burst.push_back({L"Stapel " + std::to_wstring(i), L"Jonas", 45000.0 + i / 1440.0});
    probe.Take();
    SeamRecorder::shellCalls.clear();
    ASSERT_TRUE(m_world->DeliverAtOnce(L"Support", olMailItem, burst));
    EXPECT_TRUE(probe.Take().empty()) << "a burst of 20 raises no ItemAdd";

    auto tick = [&] { ::SendMessageA(TrayWindow(), WM_TIMER, Tarnwell::kItemCountTimer, 0); };
    tick(); // Support's turn, but its minute has not passed
    EXPECT_TRUE(probe.Take().empty());
    EXPECT_TRUE(SeamRecorder::shellCalls.empty());

    g_dwItemCountInterval = 0;
    tick(); // Vertrieb's turn: nothing new there
    EXPECT_TRUE(probe.Take().empty());
    tick(); // Support's turn
    Lines expected;
    for (int i = 1; i <= 20; ++i)
        expected.push_back("ZarqProbe#1 HandleItemAdd \"Stapel " + std::to_string(i) + "\" in \"Support\"");
    EXPECT_EQ(expected, probe.Take());
    size_t tips = 0;
    for (const auto& call : SeamRecorder::shellCalls)
        tips += (call.data.uFlags & NIF_TIP) != 0;
    EXPECT_EQ(1u, tips) << "the alerts once for the whole burst";
    EXPECT_EQ(L"Support", LastTip());

    const size_t shellCalls = SeamRecorder::shellCalls.size();
    tick();
    tick(); // both folders again: nothing is handed on twice
    EXPECT_TRUE(probe.Take().empty());
    EXPECT_EQ(shellCalls, SeamRecorder::shellCalls.size());
}
