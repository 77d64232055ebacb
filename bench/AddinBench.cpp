// The add-in's own cost per new item: items delivered in a burst to a
// watched folder with every alert switched on, the cursor pause and the
// sound switched off through the system-call table. The stand-in's own cost
// (the same burst to a folder nobody watches) is measured and taken off.
//
// Two rounds: with the system's real notification-icon and cursor calls,
// and with those switched off too, which leaves the add-in's own work.
//
// Run: build/wine-run.sh build/bin/addin_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "AddinSeams.h"
#include "WatchedWorld.h"

namespace {

BOOL WINAPI NoSound(LPCSTR, HMODULE, DWORD) { return TRUE; }
BOOL WINAPI NoTray(DWORD, PNOTIFYICONDATAA) { return TRUE; }
// Stand-ins for the cursor calls: a handle that is never used as a cursor.
HCURSOR WINAPI FakeLoadCursor(HINSTANCE, LPCSTR) { return reinterpret_cast<HCURSOR>(0x1000); }
HICON WINAPI FakeCopyIcon(HICON icon) { return icon; }
BOOL WINAPI FakeSetSystemCursor(HCURSOR, DWORD) { return TRUE; }
void WINAPI NoPause(DWORD) {}
BOOL WINAPI TakeCursor(HCURSOR cursor, DWORD)
{
    // The system would own the handle; here it is given back at once.
    ::DestroyCursor(cursor);
    return TRUE;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per item for a burst of n items to one folder: the best of
// three bursts, so that a pause of the machine does not count.
double Burst(outlooksim::OutlookWorld& world, const wchar_t* folder, int n)
{
    double best = 1e300;
    for (int round = 0; round < 3; ++round) {
        world.GetTrace().Clear();
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < n; ++i)
            world.Deliver(folder, olMailItem, {L"Neue Nachricht", L"Erika Muster"});
        ::QueryPerformanceCounter(&end);
        best = std::min(best, Seconds(start, end) * 1e6 / n);
    }
    return best;
}

} // namespace

int main()
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g_addinSeams.PlaySoundA = &NoSound;
    g_addinSeams.Sleep = &NoPause;
    g_addinSeams.SetSystemCursor = &TakeCursor;
    {
        WatchedWorld w;
        outlooksim::OutlookWorld& world = w.world;
        if (!w.support) {
            std::printf("the folder could not be watched\n");
            return 1;
        }

        for (bool real : {true, false}) {
            g_addinSeams.ShellNotifyIconA = real ? RealAddinSeams().ShellNotifyIconA : &NoTray;
            g_addinSeams.LoadCursorA = real ? RealAddinSeams().LoadCursorA : &FakeLoadCursor;
            g_addinSeams.CopyIcon = real ? RealAddinSeams().CopyIcon : &FakeCopyIcon;
            g_addinSeams.SetSystemCursor = real ? &TakeCursor : &FakeSetSystemCursor;
            std::printf("%s\n", real ? "with the system's icon and cursor calls:" : "the add-in alone:");
            std::printf("  %-8s %14s %14s %16s\n", "items", "total us/item", "stand-in us", "add-in us/item");
            for (int n : {1, 1000, 10000}) {
                const double base = Burst(world, L"Archiv", n);
                const double total = Burst(world, L"Support", n);
                std::printf("  %-8d %14.2f %14.2f %16.2f\n", n, total, base, total - base);
            }
        }
    }
    ::CoUninitialize();
    return 0;
}
