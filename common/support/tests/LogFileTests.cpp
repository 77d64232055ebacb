// The log file of the error module, written for real next to this program:
// support_tests.log, with the program's own version and instance handle.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

#include "SupportTestSupport.h"
#include "com/ComRaii.h"
#include "frmError.h"
#include "g_modDebug.h"

namespace {

const char kComputer[] = "ZENTRALE-07";
const char kUser[] = "hbergmann";
// The byte order mark that starts a log file in UTF-8.
const std::string kMark = "\xEF\xBB\xBF";
const std::wstring kSupport = L"\u041f\u043e\u0434\u0434\u0435\u0440\u0436\u043a\u0430"; // "Поддержка"
const std::string kSupportUtf8 = "\xD0\x9F\xD0\xBE\xD0\xB4\xD0\xB4\xD0\xB5\xD1\x80\xD0\xB6\xD0\xBA\xD0\xB0";

// Every write to the log succeeds until the given one, which fails.
int g_writes = 0, g_failingWrite = 0;
BOOL WINAPI FailingWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED at)
{
    if (++g_writes == g_failingWrite)
        return FALSE;
    return ::WriteFile(file, data, size, written, at);
}

// Fixed names for the User line, answered in the way the system calls answer.
BOOL WINAPI FixedComputerName(LPSTR lpBuffer, LPDWORD nSize)
{
    lstrcpyA(lpBuffer, kComputer);
    *nSize = static_cast<DWORD>(sizeof kComputer - 1); // without the terminator
    return TRUE;
}

BOOL WINAPI FixedUserName(LPSTR lpBuffer, LPDWORD pcbBuffer)
{
    lstrcpyA(lpBuffer, kUser);
    *pcbBuffer = static_cast<DWORD>(sizeof kUser); // with the terminator
    return TRUE;
}

std::string HexHandle(const void* handle)
{
    char text[32] = {};
    std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(handle)));
    return text;
}

// The content of the line with this label in a record, or "<missing>".
std::string LineContent(std::string sRecord, const std::string& sLabel)
{
    if (sRecord.starts_with(kMark))
        sRecord.erase(0, kMark.size());
    for (const std::string& line : CrLfLines(sRecord))
        if (line.rfind(sLabel, 0) == 0)
            return line.substr(sLabel.size());
    return "<missing>";
}

int g_formsShown = 0;
void CountForm(HWND hwndForm)
{
    ++g_formsShown;
    ::DestroyWindow(hwndForm); // never wait for a user
}

class LogFile : public ::testing::Test {
  protected:
    void SetUp() override
    {
        Remove();
        ASSERT_FALSE(PathExists(m_path));
        FixedClock::Install(6, 2, 2026, 7, 5, 9);
        g_supportSeams.GetComputerNameA = FixedComputerName;
        g_supportSeams.GetUserNameA = FixedUserName;
        g_supportSeams.ErrorFormShown = CountForm;
        g_formsShown = 0;
    }
    void TearDown() override { Remove(); }
    void Remove()
    {
        ::DeleteFileW(m_path.c_str());
        ::RemoveDirectoryW(m_path.c_str());
    }
    std::string Log() const { return ReadWholeFile(m_path); }

    // Everything of a detailed record after the Date/Time line that depends on this program.
    static std::string ModuleLines()
    {
        return std::string("User     : ZENTRALE-07/hbergmann\r\n"
                           "Version  : 1.2.33\r\n"
                           "Instance : ") +
               HexHandle(::GetModuleHandleW(nullptr)) + "\r\n";
    }

    const std::wstring m_path = DirectoryOf(nullptr) + L"support_tests.log";
    SeamsScope m_seams;
};

TEST_F(LogFile, FirstRecordCreatesTheFileAndLaterOnesAppend)
{
    const std::string first = "Type     : Warning\r\n"
                              "Message  : Could not show trayicon - a needed window does not exist\r\n"
                              "Source   : Tarnwell::NfItemAdd()\r\n"
                              "Date/Time: 06.02.2026, 07:05:09\r\n"
                              "-----------\r\n";
    WriteLog(1, "Could not show trayicon - a needed window does not exist", "Tarnwell::NfItemAdd()", 0, "unknown",
             false);
    EXPECT_EQ(kMark + first, Log());
    EXPECT_EQ(1, FixedClock::reads);

    FixedClock::Install(31, 12, 2026, 23, 59, 58);
    const std::string second = "Type     : Error\r\n"
                               "Message  : Cannot create property page\r\n"
                               "Source   : m_olNs_OptionsPages()\r\n"
                               "Code     : 5\r\n"
                               "Descript.: Zugriff verweigert\r\n"
                               "Date/Time: 31.12.2026, 23:59:58\r\n" +
                               ModuleLines() + "-----------\r\n";
    WriteLog(2, "Cannot create property page", "m_olNs_OptionsPages()", 5, "Zugriff verweigert", true);
    EXPECT_EQ(kMark + first + second, Log());
    EXPECT_EQ(1, FixedClock::reads);

    // Five lines short, ten detailed; no blank line between records.
    const auto lines = CrLfLines(Log());
    ASSERT_EQ(15u, lines.size());
    EXPECT_EQ("-----------", lines[4]);
    EXPECT_EQ("Type     : Error", lines[5]);
    EXPECT_EQ("-----------", lines[14]);
}

TEST_F(LogFile, ExistingContentIsKept)
{
    ASSERT_TRUE(WriteWholeFile(m_path, "Zeile von gestern\r\n"));
    WriteLog(0, "Started", "Tarnwell::OnConnection()", 0, "unknown", false);
    EXPECT_EQ("Zeile von gestern\r\n"
              "Type     : Information\r\n"
              "Message  : Started\r\n"
              "Source   : Tarnwell::OnConnection()\r\n"
              "Date/Time: 06.02.2026, 07:05:09\r\n"
              "-----------\r\n",
              Log());
}

TEST_F(LogFile, TextsInAnyScriptSurviveInANewFile)
{
    const std::wstring path = L"C:\\Ablage\\" + kSupport + L".ini";
    WriteLog(LogWarning, L"Folder " + kSupport + L" not found", kSupport, 0, path, true);
    const std::string log = Log();
    ASSERT_TRUE(log.starts_with(kMark + "Type     : Warning\r\n")) << log;
    EXPECT_EQ("Folder " + kSupportUtf8 + " not found", LineContent(log, "Message  : "));
    EXPECT_EQ(kSupportUtf8, LineContent(log, "Source   : "));
    EXPECT_EQ("C:\\Ablage\\" + kSupportUtf8 + ".ini", LineContent(log, "Descript.: "));
    // Later records follow in UTF-8, without a second mark.
    WriteLog(LogWarning, kSupport, "s", 0, "unknown", false);
    EXPECT_EQ(15u, CrLfLines(Log()).size());
    EXPECT_EQ(std::string::npos, Log().find(kMark, 1));
    EXPECT_NE(std::string::npos,
              Log().find("-----------\r\nType     : Warning\r\nMessage  : " + kSupportUtf8 + "\r\n"));
}

TEST_F(LogFile, AnEarlierVersionsLogIsConvertedInPlaceByTheFirstRecordThatDoesNotFitItsCodePage)
{
    // Records that the ANSI code page holds stay in it.
    const std::string earlier = "Zeile von gestern: " + com::Narrow(L"M\u00fcller") + "\r\n";
    ASSERT_TRUE(WriteWholeFile(m_path, earlier));
    WriteLog(LogWarning, L"M\u00fcller", "s", 0, "unknown", false);
    const std::string ansiRecord = "Type     : Warning\r\nMessage  : " + com::Narrow(L"M\u00fcller") +
                                   "\r\nSource   : s\r\nDate/Time: 06.02.2026, 07:05:09\r\n-----------\r\n";
    if (com::Widen(com::Narrow(L"M\u00fcller")) == L"M\u00fcller") {
        EXPECT_EQ(earlier + ansiRecord, Log());
    }
    // The first that it does not hold turns the whole file into UTF-8.
    WriteLog(LogWarning, kSupport, "s", 0, "unknown", false);
    const std::string converted = kMark + com::ToUtf8(com::Widen(earlier + ansiRecord));
    EXPECT_EQ(converted + "Type     : Warning\r\nMessage  : " + kSupportUtf8 +
                  "\r\nSource   : s\r\nDate/Time: 06.02.2026, 07:05:09\r\n-----------\r\n",
              Log());
}

TEST_F(LogFile, AConversionCutShortLeavesEveryRecordInTheFile)
{
    // Three blocks of the conversion's size; the second write fails.
    std::string earlier;
    while (earlier.size() < 3 * 4096)
        earlier += "Message  : " + com::Narrow(L"M\u00fcller") + " " + std::to_string(earlier.size()) + "\r\n";
    ASSERT_TRUE(WriteWholeFile(m_path, earlier));
    const std::string converted = kMark + com::ToUtf8(com::Widen(earlier));
    g_writes = 0;
    g_failingWrite = 2;
    g_supportSeams.WriteFile = FailingWrite;
    WriteLog(LogWarning, kSupport, "s", 0, "unknown", false);
    // The last block was written first: the old content up to it, the new from there on.
    const std::string log = Log();
    ASSERT_EQ(converted.size(), log.size());
    const size_t cut = converted.size() - 4096;
    EXPECT_EQ(earlier.substr(0, cut), log.substr(0, cut));
    EXPECT_EQ(converted.substr(cut), log.substr(cut));
}

TEST_F(LogFile, LevelTexts)
{
    const struct {
        long lType;
        const char* text;
    } cases[] = {{0, "Information"}, {1, "Warning"},  {2, "Error"},  {3, "Debug"},
                 {7, "Unknown"},     {-1, "Unknown"}, {4, "Unknown"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lType);
        Remove();
        WriteLog(c.lType, "m", "s", 0, "unknown", false);
        EXPECT_EQ(c.text, LineContent(Log(), "Type     : "));
        EXPECT_EQ(5u, CrLfLines(Log()).size());
    }
}

TEST_F(LogFile, CodesAreSignedDecimal)
{
    const struct {
        long lCode;
        const char* text;
    } cases[] = {{0, "0"},
                 {-1, "-1"},
                 {91, "91"},
                 {-2147467259L, "-2147467259"},
                 {LONG_MIN, "-2147483648"},
                 {LONG_MAX, "2147483647"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Remove();
        WriteLog(2, "m", "s", c.lCode, "", true);
        EXPECT_EQ(c.text, LineContent(Log(), "Code     : "));
        EXPECT_EQ("", LineContent(Log(), "Descript.: "));
    }
}

TEST_F(LogFile, InstanceIsThisModulesHandle)
{
    WriteLog(2, "m", "s", 0, "d", true);
    const std::string instance = LineContent(Log(), "Instance : ");
    EXPECT_TRUE(std::regex_match(instance, std::regex("0x[0-9A-F]{8,}"))) << instance;
    const unsigned long long value = std::strtoull(instance.c_str() + 2, nullptr, 16);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(::GetModuleHandleW(nullptr)), value);
    // This program is linked to load at 0x0ABC0000: a leading zero pads to
    // eight digits, and the digits are upper case.
    ASSERT_EQ(0x0ABC0000u, reinterpret_cast<uintptr_t>(::GetModuleHandleW(nullptr)));
    EXPECT_EQ("0x0ABC0000", instance);
}

TEST_F(LogFile, UserLineHasTheRealNames)
{
    g_supportSeams = RealSupportSeams();
    g_supportSeams.GetLocalTime = &FixedClock::GetLocalTime;
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD computerSize = sizeof computer;
    ASSERT_TRUE(::GetComputerNameA(computer, &computerSize));
    char user[257] = {};
    DWORD userSize = sizeof user;
    ASSERT_TRUE(::GetUserNameA(user, &userSize));

    WriteLog(2, "m", "s", 0, "d", true);
    EXPECT_EQ(std::string(computer) + "/" + user, LineContent(Log(), "User     : "));
}

TEST_F(LogFile, ReportErrorWithoutDialogWritesOneDetailedErrorRecord)
{
    ReportError("NotifyFolders::Remove()", "Invalid procedure call or argument", 5, true);
    EXPECT_EQ(kMark +
                  "Type     : Error\r\n"
                  "Message  : An application error occured\r\n"
                  "Source   : NotifyFolders::Remove()\r\n"
                  "Code     : 5\r\n"
                  "Descript.: Invalid procedure call or argument\r\n"
                  "Date/Time: 06.02.2026, 07:05:09\r\n" +
                  ModuleLines() + "-----------\r\n",
              Log());
    EXPECT_EQ(0, g_formsShown);
}

TEST_F(LogFile, ReportErrorWithDialogLogsAndShowsTheDetails)
{
    std::wstring proc, details;
    static std::wstring* s_proc;
    static std::wstring* s_details;
    s_proc = &proc;
    s_details = &details;
    g_supportSeams.ErrorFormShown = [](HWND hwndForm) {
        ++g_formsShown;
        *s_proc = ItemText(hwndForm, frmError::txtProc);
        *s_details = ItemText(hwndForm, frmError::txtDetails);
        ::SendDlgItemMessageW(hwndForm, frmError::btnOkay, BM_CLICK, 0, 0);
        if (::IsWindow(hwndForm)) { // the click did not close it: fail, but never hang
            ADD_FAILURE() << "OK did not close the form";
            ::DestroyWindow(hwndForm);
        }
    };
    ReportError("zarqPropMain::Apply()", "Typen unvertr\xe4glich", 13, false);
    EXPECT_EQ(1, g_formsShown);
    EXPECT_EQ(L"zarqPropMain::Apply()", proc);
    EXPECT_EQ(L"[ 13 ] Typen unvertr\u00e4glich", details);
    EXPECT_EQ("An application error occured", LineContent(Log(), "Message  : "));
    EXPECT_EQ("Typen unvertr\xC3\xA4glich", LineContent(Log(), "Descript.: ")); // in UTF-8
    EXPECT_EQ(10u, CrLfLines(Log()).size());
}

TEST_F(LogFile, UnwritableLogLosesTheRecordSilently)
{
    // A directory where the file should be: the file cannot be opened.
    ASSERT_TRUE(::CreateDirectoryW(m_path.c_str(), nullptr));
    WriteLog(2, "m", "s", 0, "d", true);
    ReportError("X::Y()", "z", 1, true);
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, ::GetFileAttributesW(m_path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(0, g_formsShown);
}

TEST(LogFileOfAnotherModule, NamedAfterThatModuleWithItsHandleAndNoVersion)
{
    const std::wstring dllPath = DirectoryOf(nullptr) + L"supportprobe.dll";
    const std::wstring logPath = DirectoryOf(nullptr) + L"supportprobe.log";
    ::DeleteFileW(logPath.c_str());
    HMODULE probe = ::LoadLibraryW(dllPath.c_str());
    ASSERT_NE(nullptr, probe);
    auto write = reinterpret_cast<void (*)(long, const char*)>(::GetProcAddress(probe, "ProbeWriteLog"));
    ASSERT_NE(nullptr, write);

    write(3, "from the probe");
    const std::string log = ReadWholeFile(logPath);
    EXPECT_EQ("Debug", LineContent(log, "Type     : "));
    EXPECT_EQ("from the probe", LineContent(log, "Message  : "));
    EXPECT_EQ("0.0.0", LineContent(log, "Version  : "));
    EXPECT_EQ(HexHandle(probe), LineContent(log, "Instance : "));
    EXPECT_NE(HexHandle(::GetModuleHandleW(nullptr)), HexHandle(probe));
    EXPECT_EQ(10u, CrLfLines(log).size());

    ::FreeLibrary(probe);
    EXPECT_TRUE(::DeleteFileW(logPath.c_str()));
}

} // namespace
