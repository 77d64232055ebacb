// Runs corvane-host.exe as a user would and collects what it prints: for
// the end-to-end tests of the host and of the add-in.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "com/ComModule.h"
#include "com/ComRaii.h"

namespace hosttest {

struct HostRun {
    DWORD exitCode = 0xDEADBEEF;
    std::vector<std::wstring> lines;
};

inline std::wstring TempDir()
{
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"hostsim-e2e\\";
}

inline void WriteUtf8(const std::wstring& path, const std::wstring& text)
{
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n, nullptr, nullptr);
    std::ofstream(std::filesystem::path(path), std::ios::binary) << utf8;
}

// A child process's exit code and what it wrote to its standard output.
struct ChildRun {
    DWORD exitCode = 0xDEADBEEF;
    std::string output;
};

// Runs a command line (in directory, if given; on desktop, if given, else
// on this process's) and collects its standard output and standard error
// until it has ended.
inline ChildRun RunCollecting(std::wstring command, const wchar_t* directory = nullptr,
                              const wchar_t* desktop = nullptr)
{
    ChildRun run;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return run;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    std::wstring desktopName = desktop ? desktop : L"";
    if (desktop)
        si.lpDesktop = desktopName.data();
    PROCESS_INFORMATION pi{};
    BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, directory, &si, &pi);
    ::CloseHandle(writeEnd);
    // Read until the child has ended and what it wrote is drained. The end
    // of the pipe does not tell: a process started while the child runs may
    // inherit the write end and outlive the child (under Wine the desktop
    // process, explorer.exe, is started by the first window of a session),
    // and a read would then wait for that process. A child that hangs is
    // ended after two minutes; its output so far shows where it stood.
    const ULONGLONG deadline = ::GetTickCount64() + 120000;
    bool ended = !started;
    while (started) {
        char buffer[4096];
        DWORD available = 0, n = 0;
        if (!::PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr))
            break; // every writer has closed its end
        if (available) {
            if (!::ReadFile(readEnd, buffer, std::min<DWORD>(available, sizeof buffer), &n, nullptr) || !n)
                break;
            run.output.append(buffer, n);
        } else if (ended) {
            break;
        } else if (::GetTickCount64() > deadline) {
            run.output += "\n[the child did not end within two minutes and was ended]\n";
            ::TerminateProcess(pi.hProcess, 0xDEAD);
            break;
        } else {
            ended = ::WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0;
        }
    }
    ::CloseHandle(readEnd);
    if (!started)
        return run;
    ::WaitForSingleObject(pi.hProcess, 5000);
    ::GetExitCodeProcess(pi.hProcess, &run.exitCode);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return run;
}

// Runs corvane-host.exe (beside this program) and collects its standard output.
inline HostRun RunHost(const std::wstring& arguments, const wchar_t* desktop = nullptr)
{
    HostRun run;
    const ChildRun child =
        RunCollecting(L"\"" + com::Module::Directory() + L"corvane-host.exe\" " + arguments, nullptr, desktop);
    run.exitCode = child.exitCode;
    const std::string& output = child.output;
    int wide = ::MultiByteToWideChar(CP_UTF8, 0, output.data(), static_cast<int>(output.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, output.data(), static_cast<int>(output.size()), text.data(), wide);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        run.lines.push_back(line);
        start = end + 1;
    }
    return run;
}

// Asserts that the lines contain the expected texts in this order (each a
// part of one line).
inline ::testing::AssertionResult InOrder(const std::vector<std::wstring>& lines,
                                          std::initializer_list<std::wstring> expected)
{
    size_t at = 0;
    for (const auto& want : expected) {
        while (at < lines.size() && lines[at].find(want) == std::wstring::npos)
            ++at;
        if (at == lines.size()) {
            std::string all;
            for (const auto& l : lines)
                all += "\n  " + com::ToUtf8(l);
            return ::testing::AssertionFailure()
                   << "missing, or out of order: \"" << com::ToUtf8(want) << "\" in:" << all;
        }
        ++at;
    }
    return ::testing::AssertionSuccess();
}

} // namespace hosttest
