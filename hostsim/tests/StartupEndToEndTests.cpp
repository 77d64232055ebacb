// corvane-host.exe starting the real corvane.dll with slow and unreachable
// stores: the start-up asks Outlook for no folder, the folders bind
// afterwards one message at a time and give their alerts; a folder whose
// store is offline at the start binds when the store is back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "HostRun.h"

namespace {

using namespace hosttest;

class StartupEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directories(std::filesystem::path(TempDir())); }
    void TearDown() override { std::filesystem::remove_all(std::filesystem::path(TempDir())); }

    static HostRun Run(const std::wstring& name, const std::wstring& scenario)
    {
        const std::wstring file = TempDir() + name + L".scenario";
        WriteUtf8(file, scenario);
        HostRun run = RunHost(L"\"" + file + L"\"");
        EXPECT_EQ(0u, run.exitCode);
        return run;
    }

    // The lines from the first that contains from up to the first after it
    // that contains to.
    static std::vector<std::wstring> Between(const std::vector<std::wstring>& lines, const std::wstring& from,
                                             const std::wstring& to)
    {
        auto contains = [](const std::wstring& text) {
            return [text](const std::wstring& line) { return line.find(text) != std::wstring::npos; };
        };
        auto begin = std::find_if(lines.begin(), lines.end(), contains(from));
        auto end = std::find_if(begin, lines.end(), contains(to));
        return {begin, end};
    }
};

size_t Count(const std::vector<std::wstring>& lines, const std::wstring& text)
{
    return static_cast<size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const std::wstring& line) { return line.find(text) != std::wstring::npos; }));
}

} // namespace

TEST_F(StartupEndToEnd, TheStartUpBindsNoFolderAndTheFoldersBindAfterwardsOneByOne)
{
    const HostRun run = Run(L"slow", LR"(latency getfolderfromid=300 items=20
folder Support
folder Vertrieb
folder Einkauf
watch Support alerts=tray plugins=ZarqProbe
watch Vertrieb alerts=tray
watch Einkauf alerts=tray
connect corvane.Tarnwell
timing
deliver mail Einkauf subject=Drei sender=Erika
disconnect
release
)");
    // Creation, OnConnection and OnStartupComplete: the configuration is
    // read, but Outlook is asked for no folder and no plug-in starts.
    const auto startup = Between(run.lines, L"host: [8] connect corvane.Tarnwell", L"host: OnStartupComplete ->");
    EXPECT_FALSE(startup.empty());
    EXPECT_EQ(0u, Count(startup, L"GetFolderFromID"));
    EXPECT_EQ(0u, Count(startup, L"Items ->"));
    EXPECT_EQ(0u, Count(startup, L"plugin: "));
    // Afterwards each folder binds in turn, its plug-in started with it,
    // and the alerts work.
    // clang-format off
    EXPECT_TRUE(InOrder(run.lines, {
        L"host: OnConnection(Application, ext_cm_Startup) -> 0x00000000",
        L"host: OnStartupComplete -> 0x00000000",
        L"-> \"Support\"",
        L"plugin: ZarqProbe#1 StartUp",
        L"plugin: ZarqProbe#1 LoadSettings Folder1",
        L"-> \"Vertrieb\"",
        L"-> \"Einkauf\"",
        L"host: [9] timing",
        L"host: timing: start-up ",
        L"outlook: ItemAdd raised on \"Einkauf\" (1 subscriber)",
        L"system: Shell_NotifyIconW NIM_MODIFY id=1 tooltip=\"Einkauf\"",
    }));
    // clang-format on
}

TEST_F(StartupEndToEnd, AFolderWhoseStoreIsOfflineAtTheStartBindsWhenTheStoreIsBack)
{
    // The add-in's timers run a thousand times as fast: its first retry
    // after 15 s comes after 15 ms.
    const HostRun run = Run(L"offline", LR"(timers 1000
folder Support
watch Support alerts=tray plugins=ZarqProbe
store public offline
connect corvane.Tarnwell
deliver mail Support subject=Eins sender=Erika
store public online
wait 500
deliver mail Support subject=Zwei sender=Erika
log corvane.log lines=40
disconnect
release
)");
    // clang-format off
    EXPECT_TRUE(InOrder(run.lines, {
        L"host: OnStartupComplete -> 0x00000000",
        L"-> error 0x80040115",
        L"system: SetTimer(tray window, id 1, 15000 ms)",
        L"host: [6] deliver mail Support",
        L"outlook: ItemAdd raised on \"Support\" (0 subscribers)",
        L"host: [7] store public online",
        L"-> \"Support\"",
        L"plugin: ZarqProbe#1 StartUp",
        L"host: [9] deliver mail Support",
        L"outlook: ItemAdd raised on \"Support\" (1 subscriber)",
        L"system: Shell_NotifyIconW NIM_MODIFY id=1 tooltip=\"Support\"",
        L"plugin: ZarqProbe#1 HandleItemAdd \"Zwei\" in \"Support\"",
        L"host: [10] log",
        L"its store cannot be reached",
        L"its store can be reached again",
    }));
    // clang-format on
    // Bound, the folder needs no timer any more.
    const auto after = Between(run.lines, L"plugin: ZarqProbe#1 StartUp", L"host: end of scenario");
    EXPECT_EQ(0u, Count(after, L"SetTimer("));
}

// The built-in tour of what real Outlook does: it runs to its end and shows
// each of its stations; a name that is not built in is refused.
TEST_F(StartupEndToEnd, TheBuiltInRealOutlookScenarioShowsEachStation)
{
    const HostRun run = RunHost(L"--scenario real-outlook --out \"" + TempDir() + L"\"");
    EXPECT_EQ(0u, run.exitCode);
    // clang-format off
    EXPECT_TRUE(InOrder(run.lines, {
        L"host: scenario: built-in real-outlook",
        L"host: OnStartupComplete -> 0x00000000",
        L"-> error 0x80040115",
        L"host: timing: start-up",
        L"its store cannot be reached",
        L"-> \"Projekte\"",
        L"its store can be reached again",
        L"outlook: no ItemAdd raised on \"Support\": 20 items at once",
        L"row 2: \"Störung Drucker 20\"",
        L"row 21: \"Störung Drucker 1\"",
        L"outlook: Quit raised (1 subscriber)",
        L"system: Shell_NotifyIconW NIM_DELETE id=1",
        L"host: release corvane.Tarnwell without OnBeginShutdown or OnDisconnection",
        L"host: no window \"Neue Nachrichten\"",
        L"host: end of scenario",
    }));
    // clang-format on
    EXPECT_EQ(2u, RunHost(L"--scenario nonesuch").exitCode);
}
