// Helpers for the add-in's tests: COM on the test thread, messages, windows.
#pragma once

#include <windows.h>

#include <string>

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
