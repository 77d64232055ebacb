#include "ProbeLog.h"

#include <windows.h>

#include <cwchar>

namespace probe {

namespace {
std::vector<std::wstring> g_lines;
}

void Record(const std::wstring& line)
{
    g_lines.push_back(line);
    std::wstring text = L"probe: " + line + L"\n";
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

const std::vector<std::wstring>& Recorded() { return g_lines; }

void ClearRecorded() { g_lines.clear(); }

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring Hex(long hr)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

} // namespace probe
