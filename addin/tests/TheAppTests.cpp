// The application context: paths, version text and the single-instance mutex.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TheApp.h"
#include "com/ComModule.h"
#include "com/ComRaii.h"

namespace {

// Runs this test program again with one test selected and the expected
// first-instance answer in the environment; returns its exit code.
DWORD RunChild(const char* expectFirst)
{
    ::SetEnvironmentVariableA("CORVANE_CHILD_EXPECT_FIRST", expectFirst);
    std::wstring cmd = L"\"" + com::Module::Path() + L"\" --gtest_filter=TheAppChild.*";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    BOOL ok = ::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    ::SetEnvironmentVariableA("CORVANE_CHILD_EXPECT_FIRST", nullptr);
    if (!ok)
        return 0xdeadbeef;
    ::WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0xdeadbeef;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return code;
}

} // namespace

TEST(TheApp, PathsTitleAndVersionOfTheModule)
{
    TheApp app;
    const std::string dir = com::Narrow(com::Module::Directory());
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir, app.AppPath());
    EXPECT_EQ('\\', app.AppPath().back());
    EXPECT_NE('\\', app.AppPath()[app.AppPath().size() - 2]);
    EXPECT_EQ(app.AppPath() + "Daten\\", app.DataPath());
    EXPECT_EQ(app.AppPath() + "Report\\", app.ReportPath());
    EXPECT_EQ("", app.BackupPath());
    EXPECT_EQ("corvane", app.Title());
    EXPECT_EQ("2.05.07", app.Version()); // this program's version resource: 2.5.0.7

    // Setters store the text unchanged, without a backslash of their own.
    app.BackupPath("C:\\Sicherung");
    app.DataPath("D:");
    app.ReportPath("");
    EXPECT_EQ("C:\\Sicherung", app.BackupPath());
    EXPECT_EQ("D:", app.DataPath());
    EXPECT_EQ("", app.ReportPath());
}

TEST(TheApp, VersionTextAndTrailingBackslash)
{
    EXPECT_EQ("1.00.33", TheApp::FormatVersion(1, 0, 33));
    EXPECT_EQ("2.05.07", TheApp::FormatVersion(2, 5, 7));
    EXPECT_EQ("10.12.345", TheApp::FormatVersion(10, 12, 345));
    EXPECT_EQ("0.00.00", TheApp::FormatVersion(0, 0, 0));
    EXPECT_EQ("C:\\Addin\\", TheApp::WithTrailingBackslash("C:\\Addin\\"));
    EXPECT_EQ("C:\\Addin\\", TheApp::WithTrailingBackslash("C:\\Addin"));
    EXPECT_EQ("\\", TheApp::WithTrailingBackslash(""));
}

TEST(TheApp, FirstInstanceFollowsTheNamedMutex)
{
    {
        TheApp first;
        EXPECT_TRUE(first.IsFirstInstance());
        TheApp second;
        EXPECT_FALSE(second.IsFirstInstance());
        EXPECT_FALSE(first.IsFirstInstance() == second.IsFirstInstance());

        // Another process sees the mutex too.
        EXPECT_EQ(0u, RunChild("0"));

        // The title is only a property: the mutex stays as it was.
        second.Title("anders");
        EXPECT_EQ("anders", second.Title());
        EXPECT_FALSE(second.IsFirstInstance());
        com::UniqueHandle probe(::OpenMutexA(SYNCHRONIZE, FALSE, "corvane"));
        EXPECT_TRUE(probe);
    }
    // Both released: the mutex is gone, the next context is first again.
    com::UniqueHandle gone(::OpenMutexA(SYNCHRONIZE, FALSE, "corvane"));
    EXPECT_FALSE(gone);
    EXPECT_EQ(0u, RunChild("1"));
    TheApp again;
    EXPECT_TRUE(again.IsFirstInstance());
    EXPECT_EQ(0u, RunChild("0"));
}

// Runs only as the child of the test above.
TEST(TheAppChild, ReportsWhatTheParentExpects)
{
    const char* expect = std::getenv("CORVANE_CHILD_EXPECT_FIRST");
    if (!expect)
        GTEST_SKIP() << "runs as a child process only";
    TheApp app;
    EXPECT_EQ(std::string(expect) == "1", app.IsFirstInstance());
}
