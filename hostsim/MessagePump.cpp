#include "MessagePump.h"

#include "com/Clock.h"

#include <algorithm>
#include <vector>

namespace outlooksim {

namespace {
thread_local std::vector<ModelessWindow*> t_windows;
thread_local double t_longest = 0;

bool PreTranslate(MSG& msg) noexcept
{
    for (ModelessWindow* w : std::vector<ModelessWindow*>(t_windows))
        if (w->PreTranslate(msg))
            return true;
    return false;
}
} // namespace

void MessagePump::Register(ModelessWindow* window) { t_windows.push_back(window); }

void MessagePump::Unregister(ModelessWindow* window) noexcept { std::erase(t_windows, window); }

void MessagePump::PumpPending() noexcept
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue; // the host decides when it ends
        if (PreTranslate(msg))
            continue;
        const double start = com::ClockSeconds();
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        t_longest = std::max(t_longest, com::ClockSeconds() - start);
    }
    for (ModelessWindow* w : std::vector<ModelessWindow*>(t_windows))
        w->AfterMessages();
}

void MessagePump::PumpFor(DWORD milliseconds) noexcept
{
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    for (;;) {
        PumpPending();
        ULONGLONG now = ::GetTickCount64();
        if (now >= end)
            return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

double MessagePump::LongestDispatch() noexcept { return t_longest; }

void MessagePump::ResetLongestDispatch() noexcept { t_longest = 0; }

} // namespace outlooksim
