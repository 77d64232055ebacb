#include "SupportTestSupport.h"

#include <iterator>

SYSTEMTIME FixedClock::time{};
int FixedClock::reads = 0;

void WINAPI FixedClock::GetLocalTime(LPSYSTEMTIME lpSystemTime)
{
    ++reads;
    *lpSystemTime = time;
}

void FixedClock::Install(WORD day, WORD month, WORD year, WORD hour, WORD minute, WORD second)
{
    time = SYSTEMTIME{};
    time.wDay = day;
    time.wMonth = month;
    time.wYear = year;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    reads = 0;
    g_supportSeams.GetLocalTime = &FixedClock::GetLocalTime;
}

std::wstring DirectoryOf(HMODULE module)
{
    wchar_t path[MAX_PATH * 4] = {};
    DWORD n = ::GetModuleFileNameW(module, path, static_cast<DWORD>(std::size(path)));
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

std::string ReadWholeFile(const std::wstring& sPath)
{
    HANDLE file = ::CreateFileW(sPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<no file>";
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got)
        text.append(chunk, got);
    ::CloseHandle(file);
    return text;
}

bool WriteWholeFile(const std::wstring& sPath, const std::string& sText)
{
    HANDLE file = ::CreateFileW(sPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, sText.data(), static_cast<DWORD>(sText.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == sText.size();
}

bool PathExists(const std::wstring& sPath) { return ::GetFileAttributesW(sPath.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> CrLfLines(const std::string& sText)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < sText.size()) {
        size_t end = sText.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(sText.substr(start));
            break;
        }
        lines.push_back(sText.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::wstring WindowText(HWND hwnd)
{
    wchar_t text[1024] = {};
    int n = ::GetWindowTextW(hwnd, text, static_cast<int>(std::size(text)));
    return std::wstring(text, n > 0 ? n : 0);
}

std::wstring ItemText(HWND hwnd, int id) { return WindowText(::GetDlgItem(hwnd, id)); }
