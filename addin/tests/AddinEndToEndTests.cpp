// The add-in as Outlook runs it: corvane-host.exe loads corvane.dll by its
// ProgID with a configuration file of watched folders and probe plug-ins,
// delivers items and clicks the tray icon; its trace shows what the add-in
// asked of Outlook, of the system and of the plug-ins, in order.
#include <gtest/gtest.h>

#include <algorithm>

#include "HostRun.h"
#include "NotifierTestSupport.h"

using namespace hosttest;

TEST(AddinEndToEnd, FoldersAlertsAndPluginsInOneRun)
{
    const std::wstring dir = TempDir();
    std::filesystem::create_directories(std::filesystem::path(dir));
    const std::wstring config = com::Module::Directory() + L"notifyfolders.ini";
    const bool hadConfig = std::filesystem::exists(std::filesystem::path(config));
    WriteUtf8(dir + L"addin.scenario", LR"(folder Support
folder Vertrieb
watch Support alerts=tray,defaultsound,cursor plugins=ZarqProbe,ZarqOther
watch Vertrieb alerts=tray plugins=ZarqProbe
watch Posteingang alerts=tray
connect corvane.Tarnwell
deliver mail Support subject=Eins sender=Erika
deliver mail Vertrieb subject=Zwei sender=Jonas
tray dblclick
tray rightclick
disconnect
release
)");
    HostRun run = RunHost(L"\"" + dir + L"addin.scenario\"");
    EXPECT_EQ(0u, run.exitCode);
    // clang-format off
    EXPECT_TRUE(InOrder(run.lines, {
        L"host: configuration written: 3 watched folders",
        // creation: the icon in its no-new-mail state
        L"system: Shell_NotifyIconW NIM_ADD id=1 icon=picture 1 -> accepted",
        L"system: Shell_NotifyIconW NIM_MODIFY id=1 tooltip=\"Keine neuen Nachrichten\"",
        // connection: the namespace, then the configuration with its plug-ins
        L"outlook: GetNamespace(\"MAPI\")",
        L"plugin: ZarqProbe#1 StartUp",
        L"plugin: ZarqProbe#1 AddRef",
        L"plugin: ZarqOther#2 StartUp",
        L"plugin: ZarqOther#2 AddRef",
        L"plugin: ZarqProbe#1 LoadSettings Folder1",
        L"plugin: ZarqOther#2 LoadSettings Folder1",
        L"plugin: ZarqProbe#3 StartUp",
        L"plugin: ZarqProbe#1 AddRef",
        L"plugin: ZarqProbe#3 LoadSettings Folder2",
        // an item: tray icon, sound, cursor, then the plug-ins in list order
        L"outlook: ItemAdd raised on \"Support\"",
        L"system: Shell_NotifyIconW NIM_MODIFY id=1 icon=picture 2",
        L"system: Shell_NotifyIconW NIM_MODIFY id=1 tooltip=\"Support\"",
        L"system: PlaySoundW(\"MailBeep\", SND_ALIAS|SND_ASYNC)",
        L"system: SetSystemCursor(OCR_NORMAL)",
        L"system: Sleep(500)",
        L"system: SetSystemCursor(OCR_NORMAL)",
        L"plugin: ZarqProbe#1 HandleItemAdd \"Eins\" in \"Support\"",
        L"plugin: ZarqOther#2 HandleItemAdd \"Eins\" in \"Support\"",
        L"outlook: ItemAdd raised on \"Vertrieb\"",
        L"system: Shell_NotifyIconW NIM_MODIFY id=1 tooltip=\"Vertrieb\"",
        L"plugin: ZarqProbe#3 HandleItemAdd \"Zwei\" in \"Vertrieb\"",
        // the double-click opens the folder of the latest item and resets the icon
        L"outlook: Explorer.CurrentFolder = \"Vertrieb\"",
        L"outlook: Explorer.Activate",
        L"system: Shell_NotifyIconW NIM_MODIFY id=1 icon=picture 1",
        L"system: Shell_NotifyIconW NIM_MODIFY id=1 tooltip=\"Keine neuen Nachrichten\"",
        L"host: [10] tray rightclick",
        L"system: Shell_NotifyIconW NIM_MODIFY id=1 icon=picture 1",
        // disconnection: the icon leaves, each plug-in class is shut down once
        L"system: Shell_NotifyIconW NIM_DELETE id=1 -> accepted",
        L"plugin: ZarqProbe#1 ShutDown",
        L"plugin: ZarqOther#2 ShutDown",
        L"host: end of scenario",
    }));
    // clang-format on
    size_t shutdowns = 0, soundsForVertrieb = 0;
    bool inVertrieb = false;
    for (const auto& line : run.lines) {
        shutdowns += line.find(L"ShutDown") != std::wstring::npos;
        if (line.find(L"ItemAdd raised on") != std::wstring::npos)
            inVertrieb = line.find(L"Vertrieb") != std::wstring::npos;
        soundsForVertrieb += inVertrieb && line.find(L"PlaySoundW") != std::wstring::npos;
    }
    EXPECT_EQ(2u, shutdowns);
    // Folders of the public store are looked up with their store, the
    // inbox of the default store without it.
    size_t withStore = 0, withoutStore = 0;
    for (const auto& line : run.lines) {
        if (line.find(L"outlook: GetFolderFromID(") != 0 || line.find(L"host:") == 0)
            continue;
        const bool two = line.find(L", ") != std::wstring::npos;
        if (line.find(L"-> \"Posteingang\"") != std::wstring::npos && !two)
            ++withoutStore;
        if ((line.find(L"-> \"Support\"") != std::wstring::npos ||
             line.find(L"-> \"Vertrieb\"") != std::wstring::npos) &&
            two)
            ++withStore;
    }
    EXPECT_EQ(1u, withoutStore);
    EXPECT_EQ(3u, withStore);         // at connection, and the double-click on Vertrieb
    EXPECT_EQ(0u, soundsForVertrieb); // Vertrieb has the tray alert only
    // The configuration file that was there before is back (or none again).
    EXPECT_EQ(hadConfig, std::filesystem::exists(std::filesystem::path(config)));
    std::filesystem::remove_all(std::filesystem::path(dir));
}

namespace {

// A scenario run by corvane-host.exe, with the configuration file that was
// beside corvane.dll before put back by the host.
HostRun RunScenario(const std::wstring& name, const std::wstring& scenario)
{
    const std::wstring dir = TempDir();
    std::filesystem::create_directories(std::filesystem::path(dir));
    WriteUtf8(dir + name + L".scenario", scenario);
    HostRun run = RunHost(L"\"" + dir + name + L".scenario\"");
    std::filesystem::remove_all(std::filesystem::path(dir));
    EXPECT_EQ(0u, run.exitCode) << com::ToUtf8(name);
    return run;
}

size_t LinesWith(const HostRun& run, const std::wstring& text)
{
    return static_cast<size_t>(std::count_if(
        run.lines.begin(), run.lines.end(), [&](const std::wstring& l) { return l.find(text) != std::wstring::npos; }));
}

} // namespace

// Outlook 2010 and later end with Quit and release the add-in without
// OnBeginShutdown or OnDisconnection: the icon leaves at Quit, the plug-ins
// are shut down (so the notifier saves its placement). Older Outlook calls
// both after Quit: nothing is done twice.
TEST(AddinEndToEnd, QuitEndsEverythingOnceWithOrWithoutTheDisconnection)
{
    notifiertest::DeleteSettings();
    const HostRun fast = RunScenario(L"quit-fast", LR"(folder Support
watch Support alerts=tray plugins=ZarqNotifier,ZarqProbe
connect corvane.Tarnwell
deliver mail Support subject=Eins sender=Erika
window "Neue Nachrichten" move 70,80
quit
)");
    // clang-format off
    EXPECT_TRUE(InOrder(fast.lines, {
        L"host: [6] quit",
        L"outlook: Quit raised (1 subscriber)",
        L"system: Shell_NotifyIconW NIM_DELETE id=1 -> accepted",
        L"plugin: ZarqProbe#1 ShutDown",
        L"host: release corvane.Tarnwell without OnBeginShutdown or OnDisconnection",
        L"host: end of scenario",
    }));
    // clang-format on
    EXPECT_EQ(0u, LinesWith(fast, L"host: OnDisconnection"));
    EXPECT_EQ(0u, LinesWith(fast, L"host: OnBeginShutdown"));
    EXPECT_EQ(70, notifiertest::ReadDword(notifiertest::kPlacementKey, L"X")) << "the notifier saved its placement";

    const HostRun classic = RunScenario(L"quit-classic", LR"(folder Support
watch Support alerts=tray plugins=ZarqNotifier,ZarqProbe
connect corvane.Tarnwell
deliver mail Support subject=Eins sender=Erika
window "Neue Nachrichten" move 90,100
quit classic
)");
    // clang-format off
    EXPECT_TRUE(InOrder(classic.lines, {
        L"outlook: Quit raised (1 subscriber)",
        L"system: Shell_NotifyIconW NIM_DELETE id=1 -> accepted",
        L"plugin: ZarqProbe#1 ShutDown",
        L"host: OnBeginShutdown -> 0x00000000",
        L"host: OnDisconnection(ext_dm_HostShutdown) -> 0x00000000",
        L"host: release corvane.Tarnwell",
    }));
    // clang-format on
    EXPECT_EQ(1u, LinesWith(classic, L"NIM_DELETE"));
    EXPECT_EQ(1u, LinesWith(classic, L"ShutDown"));
    EXPECT_EQ(90, notifiertest::ReadDword(notifiertest::kPlacementKey, L"X"));
    notifiertest::DeleteSettings();
}

// More than 16 items at once raise no ItemAdd. The next item's ItemAdd
// shows that the count grew by 21: the 20 that came unannounced go to the
// plug-ins first, oldest first, then the new item with the folder's alerts,
// given once; the notifier lists all of them.
TEST(AddinEndToEnd, ABurstWithoutItemAddReachesThePluginsOldestFirst)
{
    notifiertest::DeleteSettings();
    const HostRun run = RunScenario(L"burst", LR"(folder Support
watch Support alerts=tray plugins=ZarqProbe,ZarqNotifier
connect corvane.Tarnwell
deliver mail Support subject=Eins sender=Erika received="2024-05-01 09:00"
deliver mail Support count=20 subject=Stapel sender=Jonas received="2024-05-01 10:00"
deliver mail Support subject=Danach sender=Erika received="2024-05-01 11:00"
window "Neue Nachrichten" rows
disconnect
release
)");
    std::initializer_list<std::wstring> expected = {
        L"outlook: no ItemAdd raised on \"Support\": 20 items at once (more than 16)",
        L"outlook: ItemAdd raised on \"Support\"",
        L"outlook: Items(\"Support\").Count -> 22",
        L"outlook: Items(\"Support\").Sort(\"[ReceivedTime]\", True)",
        L"plugin: ZarqProbe#1 HandleItemAdd \"Stapel 1\" in \"Support\"",
        L"plugin: ZarqProbe#1 HandleItemAdd \"Stapel 2\" in \"Support\"",
        L"plugin: ZarqProbe#1 HandleItemAdd \"Stapel 20\" in \"Support\"",
        L"system: Shell_NotifyIconW NIM_MODIFY id=1 tooltip=\"Support\"",
        L"plugin: ZarqProbe#1 HandleItemAdd \"Danach\" in \"Support\"",
        L"  | row 1: \"Danach\" | \"Erika\" | \"01.05.2024 11:00\" | \"Support\"",
        L"  | row 2: \"Stapel 20\" | \"Jonas\" | \"01.05.2024 10:19\" | \"Support\"",
        L"  | row 21: \"Stapel 1\" | \"Jonas\" | \"01.05.2024 10:00\" | \"Support\"",
        L"  | row 22: \"Eins\" | \"Erika\" | \"01.05.2024 09:00\" | \"Support\"",
    };
    EXPECT_TRUE(InOrder(run.lines, expected));
    EXPECT_EQ(2u, LinesWith(run, L"tooltip=\"Support\"")) << "one alert for Eins, one for the burst and Danach";
    EXPECT_EQ(22u, LinesWith(run, L"plugin: ZarqProbe#1 HandleItemAdd"));
    notifiertest::DeleteSettings();
}
