// corvane-host.exe as a user runs it: a scenario file that loads the probe
// add-in, the trace on standard output, the screenshot on disk, the exit code.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "HostRun.h"
#include "PngReader.h"
#include "Screenshot.h"
#include "com/ComModule.h"
#include "com/ComRaii.h"

namespace {

using namespace hosttest;

// "1024x768": the size of the screen the host shares with this program.
std::wstring ScreenSize()
{
    return std::to_wstring(::GetSystemMetrics(SM_CXSCREEN)) + L"x" + std::to_wstring(::GetSystemMetrics(SM_CYSCREEN));
}

class HostEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override
    {
        std::filesystem::remove_all(std::filesystem::path(TempDir()));
        std::filesystem::create_directories(std::filesystem::path(TempDir()));
    }
    void TearDown() override { std::filesystem::remove_all(std::filesystem::path(TempDir())); }
};

} // namespace

TEST_F(HostEndToEnd, RunsAScenarioWithTheProbeAddin)
{
    const std::wstring dir = TempDir();
    WriteUtf8(dir + L"probe.log", L"erste Zeile\r\nletzte Zeile\r\n");
    WriteUtf8(dir + L"probe.scenario",
              L"# The probe add-in in a small world\n"
              L"folder Support\n"
              L"folder Kalender store=mailbox kind=calendar\n"
              L"connect corvaneHostProbe.Addin\n"
              L"deliver mail Posteingang subject=\"Erste Nachricht\" sender=\"Erika Mustermann\" "
              L"received=\"2024-05-01 10:15\"\n"
              L"properties Support\n"
              L"page Probe\n"
              L"click \u00C4ndern\n"
              L"apply\n"
              L"ok\n"
              L"deliver post Support subject=\"Im Support\" sender=\"Jonas Weber\"\n"
              L"tray dblclick\n"
              L"explorer off\n"
              L"tray dblclick\n"
              L"explorer on\n"
              L"properties Kalender\n"
              L"cancel\n"
              L"delete Support\n"
              L"deliver mail Support subject=weg\n"
              L"wait 100\n"
              L"screenshot e2e\n"
              L"log \"" +
                  dir +
                  L"probe.log\" lines=1\n"
                  L"disconnect\n"
                  L"release\n");
    HostRun run = RunHost(L"\"" + dir + L"probe.scenario\" --out \"" + dir + L"shots\"");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(InOrder(
        run.lines,
        {L"host: [4] connect corvaneHostProbe.Addin",
         L"probe: OnConnection(Application _Application, ConnectMode 1, AddInInst Nothing, custom VT_VARIANT[0])",
         L"outlook: GetNamespace(\"MAPI\")", L"probe: GetNamespace(\"MAPI\") -> NameSpace, subscribed",
         L"outlook: GetDefaultFolder(6) -> \"Posteingang\"", L"probe: GetFolderFromID(inbox, store) -> \"Posteingang\"",
         L"host: OnConnection(Application, ext_cm_Startup) -> 0x00000000", L"probe: OnStartupComplete",
         L"host: [5] deliver mail Posteingang", L"outlook: ItemAdd raised on \"Posteingang\" (1 subscriber)",
         L"outlook: MailItem.Subject -> \"Erste Nachricht\"",
         L"probe: ItemAdd(\"Posteingang\"): Subject \"Erste Nachricht\", SenderName \"Erika Mustermann\", "
         L"ReceivedTime 01.05.2024 10:15, _MailItem yes",
         L"host: [6] properties Support", L"outlook: OptionsPagesAdd raised for \"Support\" (1 subscriber)",
         L"probe: OptionsPagesAdd(\"Support\", DefaultItemType 0)",
         L"outlook: PropertyPages.Add(page, \"\") -> page 1 \"Probe\"",
         L"probe: page: SetClientSite, PropertyPageSite found",
         L"outlook: Properties of \"Support\" shown with 2 pages: \"Allgemein\", \"Probe\"",
         L"host: [8] click \u00C4ndern", L"probe: page: button clicked",
         L"outlook: PropertyPageSite.OnStatusChange from \"Probe\"", L"host: [9] apply",
         L"outlook: page \"Probe\": Dirty -> True", L"probe: page: Apply (1)", L"probe: watching \"Support\"",
         L"host: [10] ok", L"probe: page: Apply (2)", L"outlook: Properties of \"Support\" closed (OK)",
         // Apply and OK each made the probe watch the folder: two subscriptions.
         L"host: [11] deliver post Support", L"outlook: ItemAdd raised on \"Support\" (2 subscribers)",
         L"probe: ItemAdd(\"Support\"): Subject \"Im Support\", SenderName \"Jonas Weber\"",
         L"host: [12] tray dblclick", L"probe: tray message, mouse 0x00000203",
         L"outlook: ActiveExplorer -> Explorer showing \"Posteingang\"",
         L"outlook: Explorer.CurrentFolder = \"Support\"", L"outlook: Explorer.Activate", L"host: [14] tray dblclick",
         L"outlook: ActiveExplorer -> Nothing", L"probe: tray double-click: ActiveExplorer -> Nothing",
         L"host: [16] properties Kalender", L"probe: OptionsPagesAdd(\"Kalender\", DefaultItemType 1)",
         L"outlook: Properties of \"Kalender\" shown with 1 page: \"Allgemein\"",
         L"outlook: Properties of \"Kalender\" closed (Cancel)", L"host: [18] delete Support",
         L"host: [19] deliver mail Support", L"host: no folder \"Support\"", L"host: [21] screenshot e2e",
         L"host: screenshot " + dir + L"shots\\e2e.png " + ScreenSize(), L"host: [22] log", L"  | letzte Zeile",
         L"host: [23] disconnect", L"probe: OnBeginShutdown", L"probe: OnDisconnection(RemoveMode 0",
         L"host: [24] release", L"probe: released", L"host: end of scenario"}));

    std::ifstream png(std::filesystem::path(dir + L"shots\\e2e.png"), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(png)), std::istreambuf_iterator<char>());
    hosttest::PngRead read = hosttest::ReadPng(bytes);
    ASSERT_TRUE(read.ok) << read.problem;
    EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN), read.image.width);
    EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN), read.image.height);
    EXPECT_FALSE(outlooksim::Screenshot::IsBlank(read.image)) << "the explorer window is on the screen";
}

TEST_F(HostEndToEnd, AMalformedScenarioIsReportedWithItsLineAndNothingRuns)
{
    const std::wstring dir = TempDir();
    WriteUtf8(dir + L"bad.scenario", L"folder Support\nconnect corvaneHostProbe.Addin\ndeliver fax Support\n");
    HostRun run = RunHost(L"\"" + dir + L"bad.scenario\"");
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_TRUE(InOrder(run.lines, {L"line 3: expected item kind mail, post, not \"fax\": deliver fax Support"}));
    for (const auto& line : run.lines)
        EXPECT_EQ(std::wstring::npos, line.find(L"host: [")) << com::Narrow(line);

    // Only ASCII digits are numbers: superscripts, fullwidth and Arabic-Indic
    // digits make a malformed line, never a crash or a number.
    const std::pair<const wchar_t*, const wchar_t*> numbers[] = {
        {L"wait \u00b2", L"line 2: expected milliseconds (0 to 600000): wait \u00b2"},
        {L"wait \u00b9", L"line 2: expected milliseconds (0 to 600000): wait \u00b9"},
        {L"wait \uff11\uff10", L"line 2: expected milliseconds (0 to 600000): wait \uff11\uff10"},
        {L"wait \u0661", L"line 2: expected milliseconds (0 to 600000): wait \u0661"},
        {L"log corvane.log lines=\u00b2", L"line 2: expected lines=<count>: log corvane.log lines=\u00b2"},
        {L"deliver mail Support received=\"\uff12\uff10\uff12\uff14-05-01 10:00\"",
         L"line 2: expected received=YYYY-MM-DD HH:MM: deliver mail Support received=\"\uff12\uff10\uff12\uff14-05-01 "
         L"10:00\""},
    };
    for (const auto& [line, message] : numbers) {
        SCOPED_TRACE(com::Narrow(line));
        WriteUtf8(dir + L"digits.scenario", std::wstring(L"folder Support\n") + line + L"\n");
        HostRun digits = RunHost(L"\"" + dir + L"digits.scenario\"");
        EXPECT_EQ(2u, digits.exitCode);
        EXPECT_TRUE(InOrder(digits.lines, {message}));
    }

    HostRun missing = RunHost(L"\"" + dir + L"missing.scenario\"");
    EXPECT_EQ(2u, missing.exitCode);
    HostRun option = RunHost(L"--fast");
    EXPECT_EQ(2u, option.exitCode);
    EXPECT_TRUE(InOrder(option.lines, {L"unknown option --fast", L"usage: corvane-host.exe"}));
}
