// The scenario language: parsing (every line checked before anything runs)
// and running commands against a world in this process.
#include <filesystem>
#include <fstream>

#include "Explorer.h"
#include "Folder.h"
#include "HostTestSupport.h"
#include "SampleScenario.h"
#include "Scenario.h"
#include "ScenarioRunner.h"
#include "hostprobe.h"

using hosttest::InOrder;
using outlooksim::Scenario;

namespace {

// Expects the script to fail on this line with a message containing the text.
void ExpectMalformed(const wchar_t* script, int line, const wchar_t* message)
{
    SCOPED_TRACE(com::Narrow(script));
    Scenario s = Scenario::Parse(script);
    ASSERT_FALSE(s.Ok());
    EXPECT_EQ(line, s.Error()->line);
    EXPECT_NE(std::wstring::npos, s.Error()->message.find(message)) << com::Narrow(s.Error()->message);
    EXPECT_TRUE(s.Commands().empty() || s.Commands().back().line < line);
}

} // namespace

TEST(ScenarioParse, ReadsCommandsWithArgumentsAndOptions)
{
    Scenario s = Scenario::Parse(L"# a comment\r\n"
                                 L"folder Support\n"
                                 L"\n"
                                 L"   folder \"Alte Anfragen\" parent=Support kind=post   # trailing comment\n"
                                 L"deliver mail Support subject=\"Neue Anfrage\" sender=\"Erika \"\"Eri\"\" M.\"\n"
                                 L"click \"a=b\"\n"
                                 L"wait 250");
    ASSERT_TRUE(s.Ok()) << com::Narrow(s.Error()->Describe());
    const auto& c = s.Commands();
    ASSERT_EQ(5u, c.size());
    EXPECT_EQ(2, c[0].line);
    EXPECT_EQ(L"folder", c[0].name);
    EXPECT_EQ(std::vector<std::wstring>{L"Support"}, c[0].args);
    EXPECT_EQ(4, c[1].line);
    EXPECT_EQ(std::vector<std::wstring>{L"Alte Anfragen"}, c[1].args);
    EXPECT_EQ(L"Support", c[1].Option(L"parent"));
    EXPECT_EQ(L"post", c[1].Option(L"kind"));
    EXPECT_EQ(L"public", c[1].Option(L"store", L"public")) << "the fallback for an option not given";
    EXPECT_EQ((std::vector<std::wstring>{L"mail", L"Support"}), c[2].args);
    EXPECT_EQ(L"Neue Anfrage", c[2].Option(L"subject"));
    EXPECT_EQ(L"Erika \"Eri\" M.", c[2].Option(L"sender"));
    EXPECT_EQ(std::vector<std::wstring>{L"a=b"}, c[3].args) << "a quoted word is never an option";
    EXPECT_EQ(L"wait 250", c[4].text);

    EXPECT_TRUE(Scenario::Parse(outlooksim::SampleScenario()).Ok()) << "the built-in demo";
    EXPECT_TRUE(Scenario::Parse(outlooksim::RealOutlookScenario()).Ok()) << "the built-in real-outlook";
    EXPECT_TRUE(Scenario::Parse(L"").Ok());
}

TEST(ScenarioParse, SplitsWordsAtBlanksOutsideQuotes)
{
    auto words = Scenario::Split(L"  a \"b c\"d  e=\"f g\" \"\" ");
    ASSERT_TRUE(words);
    ASSERT_EQ(4u, words->size());
    EXPECT_EQ(L"a", (*words)[0].text);
    EXPECT_EQ(L"b cd", (*words)[1].text);
    EXPECT_TRUE((*words)[1].quoted);
    EXPECT_EQ(L"e=f g", (*words)[2].text);
    EXPECT_FALSE((*words)[2].quoted);
    EXPECT_EQ(L"", (*words)[3].text);
    EXPECT_FALSE(Scenario::Split(L"say \"unclosed"));
    EXPECT_TRUE(Scenario::Split(L"# only a comment")->empty());
}

TEST(ScenarioParse, ReportsTheFirstMalformedLineWithItsNumberAndText)
{
    ExpectMalformed(L"folder A\nfax B\nwait x", 2, L"unknown command \"fax\"");
    ExpectMalformed(L"folder", 1, L"\"folder\" takes 1 argument, not 0");
    ExpectMalformed(L"wait 1 2", 1, L"takes 1 argument, not 2");
    ExpectMalformed(L"\n\ndeliver fax Support", 3, L"expected item kind mail, post, not \"fax\"");
    ExpectMalformed(L"deliver mail Support colour=red", 1, L"unknown option \"colour=\"");
    ExpectMalformed(L"deliver mail Support received=gestern", 1, L"expected received=YYYY-MM-DD HH:MM");
    ExpectMalformed(L"deliver mail Support count=0", 1, L"expected count=<items> (1 to 10000)");
    ExpectMalformed(L"deliver mail Support count=20 limit=viele", 1, L"expected limit=<items> (0 to 10000)");
    ExpectMalformed(L"quit slowly", 1, L"expected shutdown fast, classic, not \"slowly\"");
    ExpectMalformed(L"folder A kind=fax", 1, L"expected kind=");
    ExpectMalformed(L"folder A store=elsewhere", 1, L"expected store=");
    ExpectMalformed(L"tray doubleclick", 1, L"expected tray action");
    ExpectMalformed(L"explorer maybe", 1, L"expected explorer on, off");
    ExpectMalformed(L"wait -5", 1, L"expected milliseconds");
    ExpectMalformed(L"wait 600001", 1, L"expected milliseconds");
    ExpectMalformed(L"screenshot ..\\elsewhere", 1, L"without folder");
    ExpectMalformed(L"connect x mode=later", 1, L"expected mode=");
    ExpectMalformed(L"log x lines=many", 1, L"expected lines=");
    ExpectMalformed(L"ok\nclick \"Anwenden", 2, L"a quote is not closed");
    ExpectMalformed(L"window W size 0x200", 1, L"expected size <width>x<height>");
    ExpectMalformed(L"window W size 300x", 1, L"expected size <width>x<height>");
    ExpectMalformed(L"window W size \u0663x4", 1, L"expected size <width>x<height>"); // Arabic-Indic digit
    ExpectMalformed(L"window W move +5,6", 1, L"expected move <x>,<y>");
    ExpectMalformed(L"window W move 5,6,7", 1, L"expected move <x>,<y>");
    EXPECT_TRUE(Scenario::Parse(L"window W move -5,-6\nwindow W size 400x300").Ok());

    Scenario s = Scenario::Parse(L"folder A\n  deliver fax A  ");
    ASSERT_FALSE(s.Ok());
    EXPECT_EQ(L"line 2: expected item kind mail, post, not \"fax\":   deliver fax A  ", s.Error()->Describe());
}

TEST(ScenarioParse, ReadsDates)
{
    auto a = outlooksim::ParseScenarioDate(L"2024-05-01 12:00");
    auto b = outlooksim::ParseScenarioDate(L"2024-05-01T12:00");
    ASSERT_TRUE(a && b);
    EXPECT_DOUBLE_EQ(45413.5, *a);
    EXPECT_DOUBLE_EQ(*a, *b);
    EXPECT_FALSE(outlooksim::ParseScenarioDate(L"2024-13-01 12:00"));
    EXPECT_FALSE(outlooksim::ParseScenarioDate(L"2024-05-01 25:00"));
    EXPECT_FALSE(outlooksim::ParseScenarioDate(L"01.05.2024 12:00"));
    EXPECT_FALSE(outlooksim::ParseScenarioDate(L"2024-05-01 12:00x"));
}

namespace {

class ScenarioRun : public hosttest::WorldTest {
  protected:
    void Run(const wchar_t* script)
    {
        Scenario s = Scenario::Parse(script);
        ASSERT_TRUE(s.Ok()) << com::Narrow(s.Error()->Describe());
        runner->Run(s);
    }
    void SetUp() override
    {
        WorldTest::SetUp();
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        tempDir = temp;
        runner =
            std::make_unique<outlooksim::ScenarioRunner>(*world, outlooksim::ScenarioRunner::Options{tempDir, tempDir});
    }
    void TearDown() override
    {
        runner.reset();
        WorldTest::TearDown();
    }

    std::wstring tempDir;
    std::unique_ptr<outlooksim::ScenarioRunner> runner;
};

} // namespace

TEST_F(ScenarioRun, BuildsTheWorldAndDeliversItems)
{
    Run(L"folder Support\n"
        L"folder Anfragen parent=Support kind=post\n"
        L"folder Kalender store=mailbox kind=calendar\n"
        L"folder Support\n"
        L"deliver post Anfragen subject=\"Aushang\" sender=\"Jonas Weber\" received=\"2024-05-01 12:00\"\n"
        L"deliver mail Nirgendwo\n"
        L"delete Anfragen\n"
        L"delete Anfragen\n");
    outlooksim::Folder* support = world->FindFolder(L"Support");
    ASSERT_NE(nullptr, support);
    EXPECT_EQ(world->PublicStore().Id(), support->StoreId());
    EXPECT_EQ(olAppointmentItem, world->FindFolder(L"Kalender")->ItemType());
    EXPECT_EQ(world->Mailbox().Id(), world->FindFolder(L"Kalender")->StoreId());
    EXPECT_EQ(nullptr, world->FindFolder(L"Anfragen"));
    EXPECT_TRUE(
        InOrder(world->GetTrace().Lines(),
                {L"host: [1] folder Support", L"host: [4] folder Support",
                 L"host: folder \"Support\" not made: the name is taken or the parent is unknown",
                 L"host: [5] deliver post Anfragen", L"outlook: ItemAdd raised on \"Anfragen\" (0 subscribers)",
                 L"host: [6] deliver mail Nirgendwo", L"host: no folder \"Nirgendwo\"", L"host: [7] delete Anfragen",
                 L"host: [8] delete Anfragen", L"host: no folder \"Anfragen\" that can be deleted"}));
}

TEST_F(ScenarioRun, TrayDoubleClickReachesTheAddinAndTheExplorer)
{
    Run(L"tray dblclick\n"
        L"connect corvaneHostProbe.Addin\n"
        L"deliver mail Posteingang subject=Neu\n"
        L"tray click\n"
        L"tray dblclick\n"
        L"explorer off\n"
        L"tray dblclick\n"
        L"explorer on\n"
        L"disconnect\n"
        L"tray dblclick\n"
        L"release\n"
        L"release\n");
    EXPECT_TRUE(
        InOrder(world->GetTrace().Lines(),
                {L"host: [1] tray dblclick", L"host: no tray window (class corvane.frmTrayIcon) in this process",
                 L"host: [5] tray dblclick", L"outlook: ActiveExplorer -> Explorer showing \"Posteingang\"",
                 L"outlook: Explorer.CurrentFolder = \"Posteingang\"", L"outlook: Explorer.Activate",
                 L"host: [7] tray dblclick", L"outlook: ActiveExplorer -> Nothing", L"host: [10] tray dblclick",
                 L"host: no tray window", L"host: [11] release", L"host: release corvaneHostProbe.Addin",
                 L"host: [12] release", L"host: no add-in is loaded"}));
    ASSERT_NE(nullptr, world->ActiveExplorer());
    EXPECT_EQ(L"Posteingang", world->ActiveExplorer()->CurrentName());
}

TEST_F(ScenarioRun, PropertiesDialogCommands)
{
    Run(L"folder Support\n"
        L"apply\n"
        L"connect corvaneHostProbe.Addin\n"
        L"properties Support\n"
        L"page Probe\n"
        L"page Nirgends\n"
        L"apply\n"
        L"click \u00C4ndern\n"
        L"click Fehlt\n"
        L"apply\n"
        L"ok\n"
        L"cancel\n"
        L"properties Fehlt\n");
    EXPECT_TRUE(InOrder(world->GetTrace().Lines(),
                        {L"host: [2] apply", L"host: no Properties dialog is open", L"host: [4] properties Support",
                         L"outlook: Properties of \"Support\" shown with 2 pages", L"host: [6] page Nirgends",
                         L"host: the dialog has no page \"Nirgends\"", L"host: [7] apply",
                         L"host: the Apply button is disabled", L"host: [8] click \u00C4ndern",
                         L"outlook: PropertyPageSite.OnStatusChange from \"Probe\"", L"host: [9] click Fehlt",
                         L"host: the dialog has no button \"Fehlt\"", L"host: [10] apply",
                         L"outlook: page \"Probe\": Apply -> 0x00000000", L"host: [11] ok",
                         L"outlook: Properties of \"Support\" closed (OK)", L"host: [12] cancel",
                         L"host: no Properties dialog is open", L"host: no folder \"Fehlt\""}));
}

TEST_F(ScenarioRun, LogPrintsTheTailOfAFile)
{
    std::wstring path = tempDir + L"hostsim-test.log";
    {
        std::ofstream log(std::filesystem::path(path), std::ios::binary);
        log << "eins\r\nzwei\r\ndrei\r\n";
    }
    Run(L"log hostsim-test.log lines=2\nlog hostsim-fehlt.log");
    ::DeleteFileW(path.c_str());
    const auto& lines = world->GetTrace().Lines();
    EXPECT_TRUE(InOrder(lines, {L"host: log " + path + L", last 2 lines:", L"  | zwei", L"  | drei",
                                L"hostsim-fehlt.log: cannot be read"}));
    EXPECT_FALSE(world->GetTrace().Contains(L"  | eins"));
}
