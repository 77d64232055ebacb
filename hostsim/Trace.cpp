#include "Trace.h"

#include <windows.h>

#include <cstdio>

namespace outlooksim {

void Trace::Line(std::wstring line)
{
    if (m_echo)
        Write(line + L"\n");
    m_lines.push_back(std::move(line));
}

std::vector<std::wstring> Trace::Matching(std::wstring_view text) const
{
    std::vector<std::wstring> found;
    for (const auto& line : m_lines)
        if (line.find(text) != std::wstring::npos)
            found.push_back(line);
    return found;
}

void Trace::Write(std::wstring_view text)
{
    if (text.empty())
        return;
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n, nullptr, nullptr);
    std::fflush(stdout);
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

std::wstring Trace::Hresult(long hr)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

} // namespace outlooksim
