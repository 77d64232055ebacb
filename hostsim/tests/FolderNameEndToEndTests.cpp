// A folder whose name is not in the system's code page (Cyrillic here)
// from the page to the alerts: watched through the page "Überwachung", the
// configuration file written by OK, read back by the next start of the
// add-in, and an item in the folder shows the name in the tray tooltip and
// in the notifier's list, letter for letter.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "FilesSetAside.h"
#include "HostRun.h"
#include "com/ComModule.h"
#include "com/ComRaii.h"

namespace {

using namespace hosttest;

const std::wstring kFolder = L"\u041F\u043E\u0434\u0434\u0435\u0440\u0436\u043A\u0430"; // Поддержка

// The add-in's configuration file beside corvane.dll (this program's
// folder) and its backup: what was there before the test is put back.
class FolderNameEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override
    {
        std::filesystem::remove_all(std::filesystem::path(TempDir()));
        std::filesystem::create_directories(std::filesystem::path(TempDir()));
        m_files.SetAside();
    }
    void TearDown() override
    {
        m_files.PutBack();
        std::filesystem::remove_all(std::filesystem::path(TempDir()));
    }

    HostRun Run(const std::wstring& name, const std::wstring& scenario)
    {
        const std::wstring file = TempDir() + name + L".scenario";
        WriteUtf8(file, scenario);
        HostRun run = RunHost(L"\"" + file + L"\"");
        EXPECT_EQ(0u, run.exitCode) << com::Narrow(name);
        return run;
    }

    const std::wstring m_config = com::Module::Directory() + L"notifyfolders.ini";

  private:
    hosttest::FilesSetAside m_files{{m_config, m_config + L".bak"}};
};

std::wstring ProfileString(const std::wstring& file, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[256] = {};
    ::GetPrivateProfileStringW(section, key, L"(missing)", value, 256, file.c_str());
    return value;
}

} // namespace

TEST_F(FolderNameEndToEnd, ACyrillicFolderNameKeepsItsLettersThroughTheSaveAndARestart)
{
    // The scenario's folder has the name kFolder spells out.
    const HostRun watched = Run(L"watch", LR"(folder Поддержка
pluginpath .
connect corvane.Tarnwell
properties Поддержка
page Überwachung
check "Diesen Ordner überwachen"
check "Symbol in Taskleiste anzeigen"
tab Plugins
check Notifier
ok
disconnect
release
)");
    EXPECT_TRUE(InOrder(watched.lines, {L"outlook: Properties of \"" + kFolder + L"\" closed (OK)"}));
    EXPECT_EQ(L"1", ProfileString(m_config, L"General", L"FolderCount"));
    EXPECT_EQ(com::ToUtf8(kFolder), com::ToUtf8(ProfileString(m_config, L"Folder1", L"FriendlyName")))
        << "the configuration file, read with GetPrivateProfileStringW";

    // A restart: the add-in loads the folder from the file and watches it.
    const HostRun restarted = Run(L"restart", LR"(folder Поддержка
pluginpath .
connect corvane.Tarnwell
deliver mail Поддержка subject=Eins sender=Erika
window "Neue Nachrichten" rows
disconnect
release
)");
    // The folder is watched again, its tooltip set, its item listed.
    EXPECT_TRUE(
        InOrder(restarted.lines, {L"-> \"" + kFolder + L"\"", L"outlook: ItemAdd raised on \"" + kFolder + L"\"",
                                  L"system: Shell_NotifyIconW NIM_MODIFY id=1 tooltip=\"" + kFolder + L"\"",
                                  L"window \"Neue Nachrichten\" rows", L"| \"" + kFolder + L"\" (bold"}));
}
