// A save of the configuration file killed at any moment leaves what the
// add-in loads next as the complete old configuration or the complete new
// one, never a mixture or a part: either notifyfolders.ini is complete, byte
// for byte one of the two, or it is incomplete and the backup is complete.
// The save runs in a child process (config_save_child) that saves 200
// folders again and again, alternating between two states; it is killed
// after delays spread over two saves, and then asked what it loads.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "HostRun.h"
#include "com/ComModule.h"
#include "com/ComRaii.h"

namespace {

constexpr int kKills = 110;

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SaveUnderKill : public ::testing::Test {
  protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_dir = std::string(temp) + "corvane-save-kill-" + std::to_string(::GetCurrentProcessId()) + "\\";
        ::CreateDirectoryA(m_dir.c_str(), nullptr);
        // Beside its own copy of the program, the child's file is its own.
        const std::string program = com::Narrow(com::Module::Directory()) + "config_save_child.exe";
        ASSERT_TRUE(::CopyFileA(program.c_str(), (m_dir + "config_save_child.exe").c_str(), FALSE));
    }
    void TearDown() override
    {
        WIN32_FIND_DATAA found{};
        HANDLE search = ::FindFirstFileA((m_dir + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do
                ::DeleteFileA((m_dir + found.cFileName).c_str());
            while (::FindNextFileA(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryA(m_dir.c_str());
    }

    // Starts the child.
    PROCESS_INFORMATION Start(const std::string& arguments)
    {
        std::string command = "\"" + m_dir + "config_save_child.exe\" " + arguments;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        EXPECT_TRUE(
            ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, m_dir.c_str(), &si, &pi));
        return pi;
    }
    // What a fresh load finds: 'A', 'B', or '?'.
    char Loaded()
    {
        const hosttest::ChildRun child = hosttest::RunCollecting(
            com::Widen("\"" + m_dir + "config_save_child.exe\" loaded"), com::Widen(m_dir).c_str());
        return child.exitCode == 0 && !child.output.empty() ? child.output.front() : '?';
    }
    // Runs the reference save; the time of one save in microseconds.
    long Reference()
    {
        const hosttest::ChildRun child = hosttest::RunCollecting(
            com::Widen("\"" + m_dir + "config_save_child.exe\" reference"), com::Widen(m_dir).c_str());
        EXPECT_EQ(0u, child.exitCode) << "the reference save (3: a save failed, 4: a file did not load 200 folders)";
        return child.exitCode == 0 ? std::strtol(child.output.c_str(), nullptr, 10) : -1;
    }

    std::string m_dir;
};

TEST_F(SaveUnderKill, TheFileIsAlwaysTheOldOrTheNewOne)
{
    const long saveMicroseconds = Reference();
    ASSERT_GT(saveMicroseconds, 0);
    const std::string file = m_dir + "notifyfolders.ini";
    const std::string a = Bytes(m_dir + "notifyfolders.a"), b = Bytes(m_dir + "notifyfolders.b");
    ASSERT_GT(a.size(), 20000u);
    ASSERT_EQ(a.size(), b.size()); // the states differ in flags only...
    ASSERT_NE(a, b);               // ...which every folder section holds

    // Delays from 0 to two saves, in 22 steps, so that every part of a save
    // is hit several times whatever the moment the first save began.
    const DWORD span = static_cast<DWORD>(2 * saveMicroseconds / 1000 + 2);
    int kills = 0, loadedState[2] = {}, incomplete = 0;
    for (int i = 0; i < kKills; ++i) {
        const std::string event =
            "corvane-save-kill-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(i);
        HANDLE begun = ::CreateEventA(nullptr, TRUE, FALSE, event.c_str());
        ASSERT_TRUE(begun);
        PROCESS_INFORMATION pi = Start("loop " + event);
        ASSERT_TRUE(pi.hProcess);
        const DWORD started = ::WaitForSingleObject(begun, 60000);
        ::CloseHandle(begun);
        if (started == WAIT_OBJECT_0)
            ::Sleep(span * static_cast<DWORD>(i % 22) / 21);
        DWORD code = 0;
        const bool running = ::GetExitCodeProcess(pi.hProcess, &code) && code == STILL_ACTIVE;
        ::TerminateProcess(pi.hProcess, 9);
        ::WaitForSingleObject(pi.hProcess, 30000);
        ::CloseHandle(pi.hProcess);
        ::CloseHandle(pi.hThread);
        ASSERT_EQ(WAIT_OBJECT_0, started) << "the child did not begin saving";
        ASSERT_TRUE(running) << "the child ended by itself with code " << code;
        ++kills;

        const std::string now = Bytes(file), backup = Bytes(m_dir + "notifyfolders.ini.bak");
        const bool complete = now == a || now == b;
        ASSERT_TRUE(complete || backup == a || backup == b)
            << "kill " << i << " after " << span * (i % 22) / 21 << " ms left a file of " << now.size()
            << " bytes and a backup of " << backup.size() << " bytes, neither complete";
        incomplete += !complete;
        const char state = Loaded();
        ASSERT_TRUE(state == 'A' || state == 'B') << "kill " << i << ": the next load found neither state";
        if (complete) {
            EXPECT_EQ(now == b ? 'B' : 'A', state) << "kill " << i << ": a complete file loads as it is";
        }
        ++loadedState[state == 'B'];
    }
    EXPECT_GE(kills, 100);
    // Kills that met the file in each state, and in the middle of the steps.
    EXPECT_GT(loadedState[0], 0);
    EXPECT_GT(loadedState[1], 0);
    std::printf("%d kills over %lu ms (one save: %ld us): state A loaded %d times, state B %d times; the file "
                "being rewritten (the backup loaded) %d times\n",
                kills, static_cast<unsigned long>(span), saveMicroseconds, loadedState[0], loadedState[1], incomplete);
}

} // namespace
