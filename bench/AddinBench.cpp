// The add-in's own cost per new item: items delivered in a burst to a
// watched folder with every alert switched on, the cursor pause and the
// sound switched off through the system-call table. The stand-in's own cost
// (the same burst to a folder nobody watches) is measured and taken off.
//
// Two passes: with the system's real notification-icon and cursor calls,
// and with those switched off too, which leaves the add-in's own work. Each
// burst is measured in several rounds, the watched and the unwatched folder
// alternating in order (see Measure.h); minimum and median are reported.
//
// Run: build/wine-run.sh build/bin/addin_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "AddinSeams.h"
#include "Measure.h"
#include "WatchedWorld.h"

namespace {

BOOL WINAPI NoSound(LPCWSTR, HMODULE, DWORD) { return TRUE; }
BOOL WINAPI NoTray(DWORD, PNOTIFYICONDATAW) { return TRUE; }
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

// A burst of n items to one folder, the stand-in's trace emptied before it.
bench::Operation Burst(outlooksim::OutlookWorld& world, const char* name, const wchar_t* folder, int n)
{
    return {name,
            [&world, folder, n] {
                for (int i = 0; i < n; ++i)
                    world.Deliver(folder, olMailItem, {L"Neue Nachricht", L"Erika Muster"});
            },
            [&world] { world.GetTrace().Clear(); }};
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g_addinSeams.PlaySoundW = &NoSound;
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
            g_addinSeams.ShellNotifyIconW = real ? RealAddinSeams().ShellNotifyIconW : &NoTray;
            g_addinSeams.LoadCursorA = real ? RealAddinSeams().LoadCursorA : &FakeLoadCursor;
            g_addinSeams.CopyIcon = real ? RealAddinSeams().CopyIcon : &FakeCopyIcon;
            g_addinSeams.SetSystemCursor = real ? &TakeCursor : &FakeSetSystemCursor;
            std::printf("%s (%d rounds, min / median)\n",
                        real ? "with the system's icon and cursor calls:" : "the add-in alone:", rounds);
            std::printf("  %-8s %20s %20s %20s\n", "items", "total us/item", "stand-in us/item", "add-in us/item");
            for (int n : {1, 1000, 10000}) {
                const std::vector<bench::Figure> figures = bench::Measure(
                    {Burst(world, "stand-in", L"Archiv", n), Burst(world, "watched", L"Support", n)}, rounds);
                const double scale = 1e6 / n;
                const bench::Figure &base = figures[0], &total = figures[1];
                std::printf("  %-8d %9.2f / %8.2f %9.2f / %8.2f %9.2f / %8.2f\n", n, total.Min() * scale,
                            total.Median() * scale, base.Min() * scale, base.Median() * scale,
                            (total.Min() - base.Min()) * scale, (total.Median() - base.Median()) * scale);
            }
        }
    }
    ::CoUninitialize();
    return 0;
}
