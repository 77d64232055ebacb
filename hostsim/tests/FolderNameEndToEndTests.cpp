// A folder whose name is not in the system's code page (Cyrillic here)
// from the page to the alerts: watched through the page "Überwachung", the
// configuration file written by OK, read back by the next start of the
// add-in, and an item in the folder shows the name in the tray tooltip and
// in the notifier's list, letter for letter.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "HostRun.h"
#include "com/ComModule.h"
#include "com/ComRaii.h"

namespace
{

using namespace hosttest;

const std::wstring kFolder = L"\u041F\u043E\u0434\u0434\u0435\u0440\u0436\u043A\u0430"; // Поддержка

// The add-in's configuration file beside corvane.dll (this program's
// folder) and its backup: what was there before the test is put back.
class FolderNameEndToEnd : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        std::filesystem::remove_all(std::filesystem::path(TempDir()));
        std::filesystem::create_directories(std::filesystem::path(TempDir()));
        for (size_t i = 0; i < std::size(m_files); ++i) {
            m_saved[i] = Read(m_files[i]);
            std::filesystem::remove(std::filesystem::path(m_files[i]));
        }
    }
    void TearDown() override
    {
        for (size_t i = 0; i < std::size(m_files); ++i) {
            std::filesystem::remove(std::filesystem::path(m_files[i]));
            if (m_saved[i])
                std::ofstream(std::filesystem::path(m_files[i]), std::ios::binary) << *m_saved[i];
        }
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
    static std::optional<std::string> Read(const std::wstring& path)
    {
        std::ifstream file(std::filesystem::path(path), std::ios::binary);
        if (!file)
            return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    const std::wstring m_files[2] = {m_config, m_config + L".bak"};
    std::optional<std::string> m_saved[2];
};

std::wstring ProfileString(const std::wstring& file, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[256] = {};
    ::GetPrivateProfileStringW(section, key, L"(missing)", value, 256, file.c_str());
    return value;
}

// The tray tooltips the add-in set, as the trace shows them. Only the
// prefix of the call is matched, so that either entry point of the
// notification area (the ANSI or the Unicode one) is accepted.
std::vector<std::wstring> Tooltips(const HostRun& run)
{
    std::vector<std::wstring> tips;
    for (const auto& line : run.lines) {
        const size_t at = line.find(L" tooltip=\"");
        if (line.rfind(L"system: Shell_NotifyIcon", 0) != 0 || at == std::wstring::npos)
            continue;
        const size_t start = at + 10;
        tips.push_back(line.substr(start, line.find(L'"', start) - start));
    }
    return tips;
}

// The folder column (the last one) of the notifier's rows, as "window
// ... rows" prints them.
std::vector<std::wstring> FolderColumn(const HostRun& run)
{
    std::vector<std::wstring> folders;
    for (const auto& line : run.lines) {
        if (line.rfind(L"  | row ", 0) != 0)
            continue;
        const size_t close = line.find_last_of(L'"');
        const size_t open = close == std::wstring::npos ? close : line.find_last_of(L'"', close - 1);
        if (open != std::wstring::npos)
            folders.push_back(line.substr(open + 1, close - open - 1));
    }
    return folders;
}

// Texts for the failure messages in UTF-8: in the system's code page the
// name and its garbled form would both read "?????????".
std::string Utf8(const std::wstring& text)
{
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::string Listed(const std::vector<std::wstring>& texts)
{
    std::string all;
    for (const auto& text : texts)
        all += " \"" + Utf8(text) + "\"";
    return all.empty() ? " (none)" : all;
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
    const std::wstring friendlyName = ProfileString(m_config, L"Folder1", L"FriendlyName");
    EXPECT_TRUE(friendlyName == kFolder) << "the configuration file, read with GetPrivateProfileStringW, holds "
                                            "FriendlyName=\""
                                         << Utf8(friendlyName) << "\", not \"" << Utf8(kFolder) << "\"";

    // A restart: the add-in loads the folder from the file and watches it.
    const HostRun restarted = Run(L"restart", LR"(folder Поддержка
pluginpath .
connect corvane.Tarnwell
deliver mail Поддержка subject=Eins sender=Erika
window "Neue Nachrichten" rows
disconnect
release
)");
    EXPECT_TRUE(
        InOrder(restarted.lines, {L"-> \"" + kFolder + L"\"", L"outlook: ItemAdd raised on \"" + kFolder + L"\""}))
        << "the restarted add-in did not watch the folder";
    const std::vector<std::wstring> tips = Tooltips(restarted);
    EXPECT_TRUE(std::find(tips.begin(), tips.end(), kFolder) != tips.end())
        << "the tray tooltip does not show the folder's name; the tooltips set:" << Listed(tips);
    const std::vector<std::wstring> folders = FolderColumn(restarted);
    EXPECT_TRUE(folders == std::vector<std::wstring>{kFolder})
        << "the notifier's folder column does not show the folder's name; it shows:" << Listed(folders);
}
