// GetTickCount64 for DLLs that must load on Windows XP.
//
// The static thread runtime (libwinpthread.a) calls GetTickCount64, which
// kernel32 exports from Windows Vista on (Microsoft documentation of
// GetTickCount64: minimum supported client Windows Vista). The runtime's
// object reaches it through the import pointer __imp_GetTickCount64, the
// symbol that the import library libkernel32.a defines together with the
// import itself. This file defines that symbol: the linker sees it defined
// by an object named on the command line before it searches libkernel32.a,
// never takes that member, and the DLL's import table has no GetTickCount64.
// So this file must be linked as an object of each DLL (cmake's
// corvane_com_server does), not from a static library searched after the
// runtime.
//
// The pointer leads to a function that calls the real GetTickCount64 where
// kernel32 has it and extends GetTickCount otherwise. It looks the function
// up without a lock and without a function-local static: the runtime's own
// waits may be what calls it.
#include "com/TickCount64.h"

#include <atomic>

namespace {

using TickCountFunction = ULONGLONG(WINAPI*)();

std::atomic<ULONGLONG> g_lastTicks{0};
static_assert(std::atomic<ULONGLONG>::is_always_lock_free);

ULONGLONG WINAPI ExtendedTickCount()
{
    const DWORD now = ::GetTickCount();
    ULONGLONG last = g_lastTicks.load();
    for (;;) {
        const ULONGLONG ticks = com::ExtendTickCount(last, now);
        if (ticks <= last || g_lastTicks.compare_exchange_weak(last, ticks))
            return ticks;
    }
}

std::atomic<TickCountFunction> g_tickCount{nullptr};

ULONGLONG WINAPI TickCount64()
{
    TickCountFunction function = g_tickCount.load(std::memory_order_acquire);
    if (!function) {
        function = reinterpret_cast<TickCountFunction>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetTickCount64"));
        if (!function)
            function = ExtendedTickCount;
        g_tickCount.store(function, std::memory_order_release);
    }
    return function();
}

} // namespace

// The import pointer's name as the compiler spells it: with the stdcall
// decoration and the leading underscore of 32-bit symbols.
#if defined(__i386__)
#define CORVANE_IMPORT_POINTER "__imp__GetTickCount64@0"
#else
#define CORVANE_IMPORT_POINTER "__imp_GetTickCount64"
#endif

extern "C" {
extern TickCountFunction corvaneGetTickCount64Import __asm__(CORVANE_IMPORT_POINTER);
TickCountFunction corvaneGetTickCount64Import = TickCount64;
}
