// The folders of the configuration file bind after the connect class's
// start-up, from the tray window's messages, with the Outlook stand-in:
// OnConnection reads every folder with its settings and plug-in list and
// binds none; a save before they are bound keeps them all as configured; a
// folder whose store cannot be reached is tried again on the tray window's
// timer (the timer goes to a recorder, the test fires it) until it binds.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "AddinTestSupport.h"
#include "FilesSetAside.h"
#include "Folder.h"
#include "NotifyFolders.h"
#include "NotifyFoldersIni.h"
#include "OutlookWorld.h"
#include "ProbeJournal.h"
#include "SeamRecorder.h"
#include "Tarnwell.h"

using com::Bstr;
using com::ComPtr;
using Lines = std::vector<std::string>;

namespace {

size_t CountOf(const Lines& lines, const std::string& text)
{
    return static_cast<size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; }));
}

// The configuration file beside this program, written by the test; what
// was there before is put back afterwards.
class FolderBinderTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(m_probe.Loaded());
        m_files.SetAside();
        m_world = std::make_unique<outlooksim::OutlookWorld>(outlooksim::OutlookWorld::Options{false, false});
        m_support = m_world->AddFolder(L"Support");
        m_sales = m_world->AddFolder(L"Vertrieb");
    }
    void TearDown() override
    {
        if (m_addin)
            m_addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
        m_addin.Reset();
        m_world.reset();
        addintest::PumpUntil(8000, [] { return addintest::FindOwnWindow("corvane.frmSplash") == nullptr; });
        m_files.PutBack();
        m_probe.Reset();
        ::CoUninitialize();
    }

    void Put(const wchar_t* section, const wchar_t* key, const std::wstring& value)
    {
        ::WritePrivateProfileStringW(section, key, value.c_str(), m_config.c_str());
    }
    std::wstring Get(const wchar_t* section, const wchar_t* key) const
    {
        wchar_t value[600] = {};
        ::GetPrivateProfileStringW(section, key, L"(missing)", value, 600, m_config.c_str());
        return value;
    }
    void Configure(const wchar_t* section, outlooksim::Folder* folder)
    {
        Put(section, L"EntryId", folder->EntryId());
        Put(section, L"StoreId", folder->StoreId());
        Put(section, L"FriendlyName", folder->Name());
    }

    void Connect()
    {
        m_addin = com::Make<Tarnwell>();
        m_addin->OnConnection(m_world->Application().Get(), ext_cm_Startup, nullptr, nullptr);
        m_addin->OnStartupComplete(nullptr);
    }
    ComPtr<_NotifyFolder> Watched(outlooksim::Folder* folder) const
    {
        ComPtr<_NotifyFolder> nf;
        m_addin->Folders()->GetFromEntryId(Bstr(folder->EntryId()).get(), &nf);
        return nf;
    }
    bool Bound(outlooksim::Folder* folder) const
    {
        ComPtr<_NotifyFolder> nf = Watched(folder);
        ComPtr<IDispatch> items;
        return nf && SUCCEEDED(nf->get_OutlookItems(&items)) && items;
    }
    // Processes the tray window's messages until no folder is left to bind
    // now (the folders waiting for their store stay).
    bool Settle() const
    {
        return addintest::PumpUntil(5000, [&] { return m_addin->Binder()->QueuedCount() == 0; });
    }
    void FireRetryTimer() const
    {
        ::SendMessageW(m_addin->TrayWindow()->Hwnd(), WM_TIMER, FolderBinder::kRetryTimer, 0);
        Settle();
    }
    // The retry timer's settings (the item-count timer runs beside it).
    std::vector<std::string> Timers() const
    {
        const std::string retry = "SetTimer " + std::to_string(FolderBinder::kRetryTimer) + " ";
        std::vector<std::string> timers;
        for (const std::string& call : SeamRecorder::calls)
            if (call.rfind(retry, 0) == 0)
                timers.push_back(call);
        return timers;
    }

    const std::wstring m_config = NotifyFoldersIni::ConfigurationFile();
    ProbeJournal m_probe;
    std::unique_ptr<outlooksim::OutlookWorld> m_world;
    outlooksim::Folder* m_support = nullptr;
    outlooksim::Folder* m_sales = nullptr;
    ComPtr<Tarnwell> m_addin;

  private:
    hosttest::FilesSetAside m_files{{m_config, m_config + L".bak"}};
};

} // namespace

TEST_F(FolderBinderTest, TheConnectionBindsNoFolderAndASaveBeforeTheBindingKeepsEveryFolderAsConfigured)
{
    Configure(L"Folder1", m_support);
    Put(L"Folder1", L"ShowTrayIcon", L"1");
    Put(L"Folder1", L"ChangeCursor", L"1");
    Put(L"Folder1", L"SoundFile", L"C:\\Klang\\neu.wav");
    Put(L"Folder1", L"PluginCount", L"2");
    Put(L"Folder1", L"Plugin1", L"ZarqProbe");
    Put(L"Folder1", L"Plugin2", L"ZarqOther");
    Put(L"Folder1", L"ProbeFarbe", L"blau"); // a key of the plug-ins' own
    Configure(L"Folder2", m_sales);
    Put(L"Folder2", L"PlaySound", L"1");
    Put(L"Folder2", L"PluginCount", L"1");
    Put(L"Folder2", L"Plugin1", L"ZarqProbe");
    Put(L"General", L"FolderCount", L"2");
    m_probe.Reset();

    Connect();
    // Every folder is in the collection with its settings; none is bound,
    // Outlook was not asked for one, no plug-in started.
    long count = 0;
    m_addin->Folders()->get_Count(&count);
    EXPECT_EQ(2, count);
    VARIANT_BOOL found = VARIANT_FALSE;
    m_addin->Folders()->Find(Bstr(m_sales->EntryId()).get(), &found);
    EXPECT_NE(VARIANT_FALSE, found);
    EXPECT_FALSE(Bound(m_support));
    EXPECT_FALSE(Bound(m_sales));
    EXPECT_FALSE(m_world->GetTrace().Contains(L"GetFolderFromID"));
    EXPECT_EQ(0u, CountOf(m_probe.Take(), "StartUp"));
    ComPtr<_NotifyFolder> support = Watched(m_support);
    ASSERT_TRUE(support);
    long plugins = 0;
    support->get_PluginCount(&plugins);
    EXPECT_EQ(2, plugins);
    VARIANT_BOOL active = VARIANT_FALSE;
    support->get_IsPluginActive(Bstr(L"ZarqOther").get(), &active);
    EXPECT_NE(VARIANT_FALSE, active);

    // Apply before the binding: the file holds both folders as configured.
    VARIANT_BOOL saved = VARIANT_FALSE;
    EXPECT_EQ(S_OK, m_addin->Folders()->SaveToFile(&saved));
    EXPECT_NE(VARIANT_FALSE, saved);
    EXPECT_EQ(L"2", Get(L"General", L"FolderCount"));
    EXPECT_EQ(m_support->EntryId(), Get(L"Folder1", L"EntryId"));
    EXPECT_EQ(m_support->StoreId(), Get(L"Folder1", L"StoreId"));
    EXPECT_EQ(L"Support", Get(L"Folder1", L"FriendlyName"));
    EXPECT_EQ(L"1", Get(L"Folder1", L"ShowTrayIcon"));
    EXPECT_EQ(L"1", Get(L"Folder1", L"ChangeCursor"));
    EXPECT_EQ(L"0", Get(L"Folder1", L"PlaySound"));
    EXPECT_EQ(L"C:\\Klang\\neu.wav", Get(L"Folder1", L"SoundFile"));
    EXPECT_EQ(L"2", Get(L"Folder1", L"PluginCount"));
    EXPECT_EQ(L"ZarqProbe", Get(L"Folder1", L"Plugin1"));
    EXPECT_EQ(L"ZarqOther", Get(L"Folder1", L"Plugin2"));
    EXPECT_EQ(L"blau", Get(L"Folder1", L"ProbeFarbe"));
    EXPECT_EQ(m_sales->EntryId(), Get(L"Folder2", L"EntryId"));
    EXPECT_EQ(L"1", Get(L"Folder2", L"PlaySound"));
    EXPECT_EQ(L"1", Get(L"Folder2", L"PluginCount"));
    EXPECT_EQ(L"ZarqProbe", Get(L"Folder2", L"Plugin1"));

    // Then the tray window's messages bind them, one after the other, each
    // folder's plug-ins in the order of the plug-in contract, reading their
    // settings from the section the save gave them.
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Bound(m_support));
    EXPECT_TRUE(Bound(m_sales));
    const Lines calls = m_probe.Take();
    EXPECT_EQ((Lines{"ZarqProbe#1 StartUp", "ZarqProbe#1 AddRef", "ZarqOther#2 StartUp", "ZarqOther#2 AddRef",
                     "ZarqProbe#1 LoadSettings Folder1", "ZarqOther#2 LoadSettings Folder1", "ZarqProbe#3 StartUp",
                     "ZarqProbe#1 AddRef", "ZarqProbe#3 LoadSettings Folder2"}),
              calls);
    m_world->Deliver(L"Vertrieb", olMailItem, {L"Angebot", L"Jonas Weber"});
    EXPECT_EQ(1u, CountOf(m_probe.Take(), "ZarqProbe#3 HandleItemAdd"));
}

TEST_F(FolderBinderTest, AFolderWhoseStoreCannotBeReachedIsTriedAgainUntilItBinds)
{
    Configure(L"Folder1", m_support);
    Put(L"Folder1", L"PluginCount", L"1");
    Put(L"Folder1", L"Plugin1", L"ZarqProbe");
    Configure(L"Folder2", m_sales);
    Put(L"General", L"FolderCount", L"2");
    m_world->DeleteFolder(L"Vertrieb"); // gone from a store that answers, later
    m_world->SetStoreOnline(outlooksim::StoreKind::Public, false);
    m_probe.Reset();
    SeamRecorder recorder;
    addintest::LogWatch log;

    Connect();
    ASSERT_TRUE(Settle());
    EXPECT_FALSE(Bound(m_support));
    EXPECT_EQ(0u, CountOf(m_probe.Take(), "StartUp"));
    EXPECT_EQ(2u, log.Count("its store cannot be reached")); // one record for each folder
    EXPECT_EQ(Lines{"SetTimer 1 15000"}, Timers());

    // Each retry that fails waits longer, up to five minutes, and writes nothing.
    for (int i = 0; i < 6; ++i)
        FireRetryTimer();
    EXPECT_EQ((Lines{"SetTimer 1 15000", "SetTimer 1 30000", "SetTimer 1 60000", "SetTimer 1 120000",
                     "SetTimer 1 240000", "SetTimer 1 300000", "SetTimer 1 300000"}),
              Timers());
    EXPECT_EQ(2u, log.Count("its store cannot be reached"));
    EXPECT_EQ(0u, log.Count("its store can be reached again"));

    // The store answers again: the next retry binds the folder, starts its
    // plug-in, writes one Information record and sets no timer again.
    m_world->SetStoreOnline(outlooksim::StoreKind::Public, true);
    FireRetryTimer();
    EXPECT_TRUE(Bound(m_support));
    EXPECT_EQ((Lines{"ZarqProbe#1 StartUp", "ZarqProbe#1 AddRef", "ZarqProbe#1 LoadSettings Folder1"}), m_probe.Take());
    EXPECT_EQ(1u, log.Count("its store can be reached again"));
    EXPECT_EQ(7u, Timers().size());
    EXPECT_EQ(0u, m_addin->Binder()->WaitingCount());

    // The folder that was deleted is not found in the store that answers
    // now: logged as at any connection, and not tried again.
    EXPECT_EQ(1u, log.Count("NotifyFolder::ConnectOutlookFolder()"));
    EXPECT_EQ(2u, log.Count("Could not connect to outlook folder " + com::Narrow(Get(L"Folder2", L"EntryId"))));
    m_world->Deliver(L"Support", olMailItem, {L"Wieder da", L"Erika Muster"});
    EXPECT_EQ(1u, CountOf(m_probe.Take(), "ZarqProbe#1 HandleItemAdd"));
}
