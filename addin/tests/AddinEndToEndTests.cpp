// The add-in as Outlook runs it: corvane-host.exe loads corvane.dll by its
// ProgID with a configuration file of watched folders and probe plug-ins,
// delivers items and clicks the tray icon; its trace shows what the add-in
// asked of Outlook, of the system and of the plug-ins, in order.
#include <gtest/gtest.h>

#include "HostRun.h"

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
        if ((line.find(L"-> \"Support\"") != std::wstring::npos || line.find(L"-> \"Vertrieb\"") != std::wstring::npos) && two)
            ++withStore;
    }
    EXPECT_EQ(1u, withoutStore);
    EXPECT_EQ(3u, withStore); // at connection, and the double-click on Vertrieb
    EXPECT_EQ(0u, soundsForVertrieb); // Vertrieb has the tray alert only
    // The configuration file that was there before is back (or none again).
    EXPECT_EQ(hadConfig, std::filesystem::exists(std::filesystem::path(config)));
    std::filesystem::remove_all(std::filesystem::path(dir));
}
