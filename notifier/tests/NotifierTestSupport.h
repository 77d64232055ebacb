// Helpers for the notifier's tests: its registry key, its log file and its
// window as the user sees it.
#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "WindowCommands.h"
#include "com/ComModule.h"
#include "com/ComRaii.h"

namespace notifiertest {

constexpr const wchar_t* kSettingsKey = L"Software\\Wendmoor\\Corvane\\ZarqNotifier";
constexpr const wchar_t* kPlacementKey = L"Software\\Wendmoor\\Corvane\\ZarqNotifier\\Notify";
constexpr const wchar_t* kTitle = L"Neue Nachrichten";

inline void DeleteSettings() { ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

// A DWORD of the notifier's keys, read with the registry API; -1 if missing.
inline long ReadDword(const wchar_t* key, const wchar_t* name)
{
    DWORD data = 0, size = sizeof data, type = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &type, &data, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return -1;
    return static_cast<long>(data);
}

inline void WriteDword(const wchar_t* key, const wchar_t* name, DWORD value)
{
    ::RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof value);
}

inline HWND NotifyWindow() { return outlooksim::WindowCommands::Find(kTitle); }

// The list's rows: "row 1: "Betreff" | ... (bold, selected)".
inline std::vector<std::wstring> Rows()
{
    HWND window = NotifyWindow();
    if (!window)
        return {};
    auto lines = outlooksim::WindowCommands::ListRows(window);
    lines.erase(lines.begin()); // the columns
    return lines;
}

inline RECT WindowRect(HWND window)
{
    RECT rc{};
    ::GetWindowRect(window, &rc);
    return rc;
}

// A child control of the window by its identifier, with its rectangle in the client area.
inline RECT ControlRect(HWND window, int id)
{
    RECT rc{};
    ::GetWindowRect(::GetDlgItem(window, id), &rc);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// The records the notifier appends to ZarqNotifier.log beside its library from now on.
class NotifierLog {
public:
    NotifierLog() : m_path(com::Narrow(com::Module::Directory()) + "ZarqNotifier.log"), m_start(Size()) {}
    std::string Added() const
    {
        std::ifstream in(m_path, std::ios::binary);
        if (!in)
            return {};
        in.seekg(static_cast<std::streamoff>(m_start));
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    size_t Count(const std::string& text) const
    {
        const std::string added = Added();
        size_t n = 0;
        for (size_t at = added.find(text); at != std::string::npos; at = added.find(text, at + 1))
            ++n;
        return n;
    }

private:
    size_t Size() const
    {
        std::ifstream in(m_path, std::ios::binary | std::ios::ate);
        return in ? static_cast<size_t>(in.tellg()) : 0;
    }
    std::string m_path;
    size_t m_start;
};

} // namespace notifiertest
