// Runs corvane-host.exe as a user would and collects what it prints: for
// the end-to-end tests of the host and of the add-in.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

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

// Runs corvane-host.exe (beside this program) and collects its standard output.
inline HostRun RunHost(const std::wstring& arguments)
{
    HostRun run;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return run;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring command = L"\"" + com::Module::Directory() + L"corvane-host.exe\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    ::CloseHandle(writeEnd);
    std::string output;
    char buffer[4096];
    DWORD n = 0;
    while (started && ::ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n)
        output.append(buffer, n);
    ::CloseHandle(readEnd);
    if (!started)
        return run;
    ::WaitForSingleObject(pi.hProcess, 120000);
    ::GetExitCodeProcess(pi.hProcess, &run.exitCode);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
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
inline ::testing::AssertionResult InOrder(const std::vector<std::wstring>& lines, std::initializer_list<std::wstring> expected)
{
    size_t at = 0;
    for (const auto& want : expected) {
        while (at < lines.size() && lines[at].find(want) == std::wstring::npos)
            ++at;
        if (at == lines.size()) {
            std::string all;
            for (const auto& l : lines)
                all += "\n  " + com::Narrow(l);
            return ::testing::AssertionFailure()
                   << "missing, or out of order: \"" << com::Narrow(want) << "\" in:" << all;
        }
        ++at;
    }
    return ::testing::AssertionSuccess();
}

} // namespace hosttest
