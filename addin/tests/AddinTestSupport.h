// Helpers for the add-in's tests: COM on the test thread, messages, windows.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace addintest {

// Processes this thread's messages for the given time.
inline void PumpFor(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < ms) {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(10);
    }
}

// Pumps until the predicate holds or the time is up; returns the predicate.
template <class Pred>
bool PumpUntil(DWORD ms, Pred pred)
{
    const DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start >= ms)
            return pred();
        PumpFor(20);
    }
    return true;
}

// A visible top-level window of this process with the given class, or null.
inline HWND FindOwnWindow(const char* className)
{
    HWND found = nullptr;
    for (HWND w = ::FindWindowExA(nullptr, nullptr, className, nullptr); w;
         w = ::FindWindowExA(nullptr, w, className, nullptr)) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        if (pid == ::GetCurrentProcessId())
            found = w;
    }
    return found;
}

} // namespace addintest

#include <fstream>
#include <sstream>

#include "com/ComModule.h"
#include "com/ComRaii.h"

namespace addintest {

// A whole file's bytes (empty if it cannot be read), and writing them.
inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The records this program appends to its log file from now on.
class LogWatch {
  public:
    LogWatch() : LogWatch(com::Narrow(com::Module::Directory()) + Title() + ".log") {}
    // Another component's log file.
    explicit LogWatch(std::string path) : m_path(std::move(path)), m_start(Size()) {}
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
    // How often a text stands in what was added.
    size_t Count(const std::string& text) const
    {
        const std::string added = Added();
        size_t n = 0;
        for (size_t at = added.find(text); at != std::string::npos; at = added.find(text, at + 1))
            ++n;
        return n;
    }
    // Number of records added.
    size_t Records() const
    {
        const std::string text = Added();
        size_t n = 0;
        for (size_t at = text.find("-----------\r\n"); at != std::string::npos;
             at = text.find("-----------\r\n", at + 1))
            ++n;
        return n;
    }

  private:
    static std::string Title()
    {
        std::wstring path = com::Module::Path();
        path = path.substr(path.find_last_of(L'\\') + 1);
        return com::Narrow(path.substr(0, path.find_last_of(L'.')));
    }
    size_t Size() const
    {
        std::ifstream in(m_path, std::ios::binary | std::ios::ate);
        return in ? static_cast<size_t>(in.tellg()) : 0;
    }
    std::string m_path;
    size_t m_start;
};

} // namespace addintest
