// The page as a user meets it: corvane-host.exe runs the real add-in, the
// add-in creates the page by its ProgID when a folder's Properties dialog
// opens, and the scenario clicks, types and presses keys on it. The trace
// shows what the page shows (each control's value, enabled and visible),
// what the add-in's configuration file holds after Apply, and what reaches
// the plug-ins afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "FilesSetAside.h"
#include "HostRun.h"
#include "com/ComModule.h"

namespace {

using namespace hosttest;

class PropsEndToEnd : public ::testing::Test {
  protected:
    // The add-in's configuration file beside the host, and its backup: a
    // file left there would add watched folders to every scenario, and the
    // scenarios' Apply would replace it. Set aside, and put back afterwards.
    void SetUp() override
    {
        m_files.SetAside();
        std::filesystem::remove_all(std::filesystem::path(TempDir()));
        std::filesystem::create_directories(std::filesystem::path(TempDir()));
    }
    void TearDown() override
    {
        std::filesystem::remove_all(std::filesystem::path(TempDir()));
        m_files.PutBack();
    }

    const std::wstring m_config = com::Module::Directory() + L"notifyfolders.ini";
    FilesSetAside m_files{{m_config, m_config + L".bak"}};

    // Runs the scenario; the plug-in directory is the host's own (ZarqProbe.dll lies there).
    HostRun Run(const std::wstring& scenario)
    {
        const std::wstring file = TempDir() + L"page.scenario";
        WriteUtf8(file, scenario);
        HostRun run = RunHost(L"\"" + file + L"\"");
        EXPECT_EQ(0u, run.exitCode);
        return run;
    }
};

// The lines of the page's state printed by the n-th "pagestate" (from 1).
std::vector<std::wstring> PageState(const HostRun& run, int n)
{
    std::vector<std::wstring> block;
    int seen = 0;
    for (const auto& line : run.lines) {
        if (line.rfind(L"host: page state", 0) == 0) {
            ++seen;
            if (seen == n)
                block.push_back(line);
            continue;
        }
        if (seen == n && !block.empty()) {
            if (line.rfind(L"  | ", 0) != 0)
                break;
            block.push_back(line.substr(4));
        }
    }
    return block;
}

::testing::AssertionResult Shows(const std::vector<std::wstring>& state, std::initializer_list<std::wstring> expected)
{
    for (const auto& want : expected) {
        auto match = [&](const std::wstring& line) {
            std::wstring trimmed = line.substr(std::min(line.find_first_not_of(L' '), line.size()));
            return trimmed == want;
        };
        if (std::none_of(state.begin(), state.end(), match)) {
            std::string all;
            for (const auto& l : state)
                all += "\n  " + com::Narrow(l);
            return ::testing::AssertionFailure() << "the page does not show \"" << com::Narrow(want) << "\":" << all;
        }
    }
    return ::testing::AssertionSuccess();
}

size_t Count(const HostRun& run, const std::wstring& text)
{
    return static_cast<size_t>(std::count_if(run.lines.begin(), run.lines.end(), [&](const std::wstring& line) {
        return line.find(text) != std::wstring::npos && line.rfind(L"host: [", 0) != 0;
    }));
}

const std::wstring kNotWatched = L"label \"Die \u00DCberwachung f\u00FCr diesen Ordner ist nicht aktiviert. Es stehen "
                                 L"daher keine \u00DCberwachungsoptionen zur Verf\u00FCgung.\"";

// A folder that is not watched: the page says so; checking the box, an
// alert and the probe plug-in, then OK, writes the folder into the
// configuration file at once, and the next item reaches the plug-in.
TEST_F(PropsEndToEnd, AFolderIsWatchedWithItsAlertsAndPluginsFromThePage)
{
    HostRun run = Run(LR"(folder Support
watch Posteingang alerts=tray
pluginpath .
connect corvane.Tarnwell
properties Support
page Überwachung
pagestate
check "Diesen Ordner überwachen"
check "Sound abspielen"
tab Plugins
pagestate
check "ZarqProbe probe"
pagestate
apply
pagestate
log notifyfolders.ini lines=40
ok
deliver mail Support subject=Eins sender=Erika
release
)");
    // clang-format off
    EXPECT_TRUE(InOrder(run.lines, {
        L"outlook: PropertyPages.Add(page, \"\") -> page 1 \"\u00DCberwachung\"",
        L"outlook: page \"\u00DCberwachung\": DoVerb(OLEIVERB_INPLACEACTIVATE) -> 0x00000000, in place",
    }));
    // clang-format on
    const auto opened = PageState(run, 1);
    EXPECT_TRUE(Shows(opened, {L"label \"Support\"", L"check box \"Diesen Ordner \u00FCberwachen\" = 0", kNotWatched,
                               L"check box \"Sound abspielen\" = 0 hidden", L"text box \"\" disabled hidden"}));
    EXPECT_NE(std::wstring::npos, opened[0].find(L"Apply disabled"));

    const auto listed = PageState(run, 2);
    EXPECT_TRUE(Shows(listed, {L"check box \"Diesen Ordner \u00FCberwachen\" = 1", kNotWatched + L" hidden",
                               L"tabs \"Standardaktionen\", \"Plugins\", current \"Plugins\" focused",
                               L"entry \"ZarqProbe probe\" | \"Records every call\" unchecked",
                               L"button \"&Info...\" disabled", L"button \"&Optionen...\" disabled"}));
    EXPECT_NE(std::wstring::npos, listed[0].find(L"Apply enabled"));
    // A check mark that is not applied yet enables no plug-in button.
    EXPECT_TRUE(Shows(PageState(run, 3), {L"entry \"ZarqProbe probe\" | \"Records every call\" checked selected",
                                          L"button \"&Info...\" disabled"}));
    EXPECT_TRUE(Shows(PageState(run, 4), {L"button \"&Info...\"", L"button \"&Optionen...\""}));

    // clang-format off
    EXPECT_TRUE(InOrder(run.lines, {
        L"outlook: page \"\u00DCberwachung\": Apply -> 0x00000000",
        L"host: [16] log notifyfolders.ini",
        L"  | [Folder2]",
        L"  | FriendlyName=Support",
        L"  | PlaySound=1",
        L"  | UseDefaultSound=0",
        L"  | ShowTrayIcon=0",
        L"  | PluginCount=1",
        L"  | Plugin1=ZarqProbe",
        L"  | FolderCount=2",
        L"outlook: Properties of \"Support\" closed (OK)",
        L"outlook: ItemAdd raised on \"Support\"",
        L"HandleItemAdd \"Eins\" in \"Support\"",
    }));
    // clang-format on
}

// A watched folder: the page shows its settings; the file dialog is shown
// with the page's title and file types, cancelling it changes nothing;
// the sound boxes enable each other; the plug-in buttons work for an
// active plug-in, also by their accelerators; unchecking the plug-in and
// then watching removes them from the configuration file.
TEST_F(PropsEndToEnd, AWatchedFolderIsChangedAndThenNoLongerWatched)
{
    HostRun run = Run(LR"(folder Support
watch Support alerts=tray,sound soundfile=C:\alt.wav plugins=ZarqProbe
pluginpath .
connect corvane.Tarnwell
properties Support
page Überwachung
pagestate
filedialog cancel
click Durchsuchen...
pagestate
filedialog answer C:\Sounds\ding.wav
click Durchsuchen...
check "Standard - Outlook - Sound verwenden"
pagestate
uncheck "Sound abspielen"
pagestate
tab Plugins
select "ZarqProbe probe"
pagestate
key alt+o
uncheck "ZarqProbe probe"
apply
log notifyfolders.ini lines=40
uncheck "Diesen Ordner überwachen"
apply
log notifyfolders.ini lines=40
cancel
release
)");
    EXPECT_TRUE(
        Shows(PageState(run, 1),
              {L"check box \"Diesen Ordner \u00FCberwachen\" = 1", L"check box \"Sound abspielen\" = 1",
               L"text box \"C:\\alt.wav\"", L"check box \"Standard - Outlook - Sound verwenden\" = 0",
               L"check box \"Mauszeiger ver\u00E4ndern\" = 0", L"check box \"Symbol in Taskleiste anzeigen\" = 1"}));
    // Cancelling the dialog leaves the path and the dirty state alone.
    EXPECT_TRUE(InOrder(run.lines, {L"host: file dialog \"Sounddatei \u00F6ffnen\", file types \"Alle Dateien "
                                    L"(*.*)\", \"Wave Dateien (*.wav)\", chosen 2 -> cancelled",
                                    L"host: page state (Apply disabled"}));
    EXPECT_TRUE(Shows(PageState(run, 2), {L"text box \"C:\\alt.wav\""}));
    EXPECT_TRUE(
        Shows(PageState(run, 3), {L"text box \"C:\\Sounds\\ding.wav\" disabled", L"button \"Durchsuchen...\" disabled",
                                  L"check box \"Standard - Outlook - Sound verwenden\" = 1 focused"}));
    EXPECT_TRUE(Shows(PageState(run, 4), {L"check box \"Standard - Outlook - Sound verwenden\" = 1 disabled"}));
    EXPECT_TRUE(Shows(PageState(run, 5), {L"entry \"ZarqProbe probe\" | \"Records every call\" checked selected",
                                          L"button \"&Info...\"", L"button \"&Optionen...\""}));
    EXPECT_EQ(1u, Count(run, L"Configure")) << "Alt+O clicks \"Optionen...\" once";
    EXPECT_EQ(1u, Count(run, L"ZarqProbe#1 DeleteRef"));
    // clang-format off
    EXPECT_TRUE(InOrder(run.lines, {
        L"host: [23] log notifyfolders.ini",
        L"  | FriendlyName=Support",
        L"  | PlaySound=0",
        L"  | UseDefaultSound=1",
        L"  | ShowTrayIcon=1",
        L"  | SoundFile=C:\\Sounds\\ding.wav",
        L"  | PluginCount=0",
        L"  | FolderCount=1",
        L"host: [26] log notifyfolders.ini",
        L"  | FolderCount=0",
    }));
    // clang-format on
}

// Tab and Shift+Tab move through the page's controls and out of it, Space
// toggles a check box; without a plug-in directory the list is looked for
// in the root of the current drive.
TEST_F(PropsEndToEnd, TheKeyboardMovesThroughThePage)
{
    HostRun run = Run(LR"(folder Support
watch Posteingang alerts=tray
pluginpath none
connect corvane.Tarnwell
properties Support
page Überwachung
check "Diesen Ordner überwachen"
key tab
key tab
key tab
key tab
key tab
key shift+tab
key space
pagestate
tab Plugins
pagestate
release
)");
    // clang-format off
    EXPECT_TRUE(InOrder(run.lines, {
        L"host: focus on \"the tabs\" (on the page)",
        L"host: focus on \"Sound abspielen\" (on the page)",
        L"host: focus on \"Mauszeiger ver\u00E4ndern\" (on the page)",
        L"host: focus on \"Symbol in Taskleiste anzeigen\" (on the page)",
        L"(outside the page)",
        L"host: focus on \"Symbol in Taskleiste anzeigen\" (on the page)",
    }));
    // clang-format on
    EXPECT_TRUE(Shows(PageState(run, 1), {L"check box \"Symbol in Taskleiste anzeigen\" = 1 focused"}));
    const auto listed = PageState(run, 2);
    EXPECT_TRUE(Shows(listed, {L"tooltip of \"&Info...\": \"Plugins werden gesucht in : \""}));
    EXPECT_EQ(0, std::count_if(listed.begin(), listed.end(),
                               [](const std::wstring& l) { return l.find(L"entry ") != std::wstring::npos; }));
}

} // namespace

namespace {

// Where the focus went after each "key" command, in order.
std::vector<std::wstring> FocusTrail(const HostRun& run)
{
    std::vector<std::wstring> trail;
    for (const auto& line : run.lines)
        if (line.rfind(L"host: focus on ", 0) == 0)
            trail.push_back(line.substr(15));
    return trail;
}

std::wstring OnPage(const wchar_t* name) { return L"\"" + std::wstring(name) + L"\" (on the page)"; }

} // namespace

// The page tells its site of a change whichever way the sheet offers the
// site: on the client site, as Outlook does, or behind it in the container.
TEST_F(PropsEndToEnd, ThePageReachesItsSiteOnEitherRoute)
{
    for (const wchar_t* site : {L"client", L"container"}) {
        SCOPED_TRACE(com::Narrow(site));
        HostRun run = Run(std::wstring(L"folder Support\nwatch Posteingang alerts=tray\nsheet site=") + site +
                          L"\nconnect corvane.Tarnwell\nproperties Support\npage \u00DCberwachung\n"
                          L"check \"Diesen Ordner \u00FCberwachen\"\npagestate\napply\nok\nrelease\n");
        EXPECT_TRUE(
            InOrder(run.lines,
                    {L"host: [7] check", L"outlook: PropertyPageSite.OnStatusChange from \"\u00DCberwachung\"",
                     L"host: page state (Apply enabled", L"outlook: page \"\u00DCberwachung\": Apply -> 0x00000000"}));
    }
}

// Tab runs through the controls of each tab and out of the page, Shift+Tab
// all the way back, whether the sheet hands the keys to the active object
// or to its own dialog handling; the focus leaving the page takes the
// control's user interface, and the focus coming back gives it back.
TEST_F(PropsEndToEnd, TabAndShiftTabGoRoundBothTabsOnBothKeyRoutes)
{
    for (const wchar_t* keys : {L"accelerator", L"dialog"}) {
        SCOPED_TRACE(com::Narrow(keys));
        HostRun run = Run(std::wstring(LR"(folder Support
watch Support alerts=tray,sound soundfile=C:\alt.wav plugins=ZarqProbe
pluginpath .
sheet keys=)") + keys + LR"(
connect corvane.Tarnwell
properties Support
page Überwachung
type C:\alt.wav
key tab
key tab
key tab
key tab
key tab
key shift+tab
key shift+tab
key shift+tab
key shift+tab
key shift+tab
key shift+tab
key shift+tab
key shift+tab
tab Plugins
select "ZarqProbe probe"
key tab
key tab
key tab
key shift+tab
key shift+tab
key shift+tab
key shift+tab
key shift+tab
release
)");
        const std::vector<std::wstring> trail = FocusTrail(run);
        const std::vector<std::wstring> expected = {
            OnPage(L"Durchsuchen..."), OnPage(L"Standard - Outlook - Sound verwenden"),
            OnPage(L"Mauszeiger ver\u00E4ndern"), OnPage(L"Symbol in Taskleiste anzeigen"), L"outside the page",
            OnPage(L"Symbol in Taskleiste anzeigen"), OnPage(L"Mauszeiger ver\u00E4ndern"),
            OnPage(L"Standard - Outlook - Sound verwenden"), OnPage(L"Durchsuchen..."), OnPage(L"the text box"),
            OnPage(L"Sound abspielen"), OnPage(L"the tabs"), OnPage(L"Diesen Ordner \u00FCberwachen"),
            // the tab "Plugins"
            OnPage(L"Info..."), OnPage(L"Optionen..."), L"outside the page", OnPage(L"Optionen..."), OnPage(L"Info..."),
            OnPage(L"the plug-in list"), OnPage(L"the tabs"), OnPage(L"Diesen Ordner \u00FCberwachen")};
        ASSERT_EQ(expected.size(), trail.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE("key " + std::to_string(i + 1));
            if (expected[i] == L"outside the page")
                EXPECT_NE(std::wstring::npos, trail[i].find(L"(outside the page)")) << com::Narrow(trail[i]);
            else
                EXPECT_EQ(expected[i], trail[i]);
        }
    }
}

// The sheet knows the mnemonics of the tab that is not shown from the
// control's GetControlInfo: Alt+I on "Standardaktionen" shows "Plugins",
// where "&Info..." lies (disabled until an active plug-in is selected).
TEST_F(PropsEndToEnd, AMnemonicOfTheHiddenTabShowsThatTab)
{
    HostRun run = Run(LR"(folder Support
watch Support alerts=tray plugins=ZarqProbe
pluginpath .
connect corvane.Tarnwell
properties Support
page Überwachung
key alt+i
pagestate
select "ZarqProbe probe"
key alt+i
release
)");
    EXPECT_TRUE(InOrder(run.lines,
                        {L"outlook: page \"\u00DCberwachung\": OnMnemonic(Alt+I) -> 0x00000000", L"host: page state"}));
    EXPECT_TRUE(Shows(PageState(run, 1), {L"tabs \"Standardaktionen\", \"Plugins\", current \"Plugins\""}));
    EXPECT_EQ(1u, Count(run, L"ZarqProbe#1 Info")) << "Alt+I clicks \"Info...\" once it is enabled";
}
