// The notifier as a user meets it: corvane-host.exe loads the add-in, which
// loads the notifier from its configuration file; the trace shows the list
// as the user sees it. A second run finds the window where the first left it.
#include <gtest/gtest.h>

#include "HostRun.h"
#include "NotifierTestSupport.h"

using namespace hosttest;

TEST(NotifierEndToEnd, ListsItemsAndRemembersItsPlace)
{
    notifiertest::DeleteSettings();
    const std::wstring dir = TempDir();
    std::filesystem::create_directories(std::filesystem::path(dir));
    WriteUtf8(dir + L"notifier1.scenario", LR"(folder Support
watch Support alerts=tray plugins=ZarqNotifier
connect corvane.Tarnwell
deliver mail Support subject=Eins sender=Erika received="2001-03-05 09:07"
deliver mail Support subject=Zwei sender=Jonas received="2001-03-05 21:05"
deliver mail Support subject=Drei sender=Erika received="2024-05-01 10:00"
window "Neue Nachrichten" close
deliver mail Support subject=Vier sender=Jonas received="2024-05-01 10:01"
deliver mail Support subject=Fünf sender=Erika received="2024-05-01 10:02"
window "Neue Nachrichten" rows
window "Neue Nachrichten" move 50,60
window "Neue Nachrichten" size 500x320
window "Neue Nachrichten" press "Immer im Vordergrund"
disconnect
release
)");
    HostRun first = RunHost(L"\"" + dir + L"notifier1.scenario\"");
    EXPECT_EQ(0u, first.exitCode);
    // clang-format off
    EXPECT_TRUE(InOrder(first.lines, {
        L"host: [7] window \"Neue Nachrichten\" close",
        L"host: [10] window \"Neue Nachrichten\" rows",
        L"  | columns: \"Betreff\"",
        L"  | row 1: \"Fünf\" | \"Erika\" | \"01.05.2024 10:02\" | \"Support\" (bold, selected)",
        L"  | row 2: \"Vier\" | \"Jonas\" | \"01.05.2024 10:01\" | \"Support\" (bold)",
        L"  | row 3: \"Drei\" | \"Erika\" | \"01.05.2024 10:00\" | \"Support\"",
        L"  | row 4: \"Zwei\" | \"Jonas\" | \"05.03.2001 21:05\" | \"Support\"",
        L"  | row 5: \"Eins\" | \"Erika\" | \"05.03.2001 09:07\" | \"Support\"",
    }));
    // clang-format on
    EXPECT_EQ(50, notifiertest::ReadDword(notifiertest::kPlacementKey, L"X"));
    EXPECT_EQ(320, notifiertest::ReadDword(notifiertest::kPlacementKey, L"Height"));
    EXPECT_EQ(1, notifiertest::ReadDword(notifiertest::kSettingsKey, L"AlwaysOnTop"));

    WriteUtf8(dir + L"notifier2.scenario", LR"(folder Support
watch Support plugins=ZarqNotifier
connect corvane.Tarnwell
deliver mail Support subject=Sechs sender=Erika
window "Neue Nachrichten" state
disconnect
release
)");
    HostRun second = RunHost(L"\"" + dir + L"notifier2.scenario\"");
    EXPECT_EQ(0u, second.exitCode);
    // clang-format off
    EXPECT_TRUE(InOrder(second.lines, {
        L"host: [5] window \"Neue Nachrichten\" state",
        L"  | visible normal topmost, at 50,60 500x320",
        L"  |   Button tip \"Immer im Vordergrund\", checked, at ",
    }));
    // clang-format on
    notifiertest::DeleteSettings();
}
