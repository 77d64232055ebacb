// No growth under load: 10,000 new items through the add-in with every
// alert switched on and the plug-ins of kPlugins switched on for the folder,
// with the process's memory, handles and GDI/USER objects counted before
// and after. Prints the figures; asserts nothing.
//
// The stand-in keeps every item it delivers, so the same number of items
// is also delivered to a folder nobody watches, and the stand-in's own
// growth is taken off. Where Wine reports 0 for a counter, it is counted
// another way as well: handles by probing the handle table, memory by
// walking the process heap, GDI/USER objects created and destroyed through
// the add-in's system-call table, and the thread's windows.
//
// Run: build/wine-run.sh build/bin/soak_bench.exe [items]
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "AddinSeams.h"
#include "ProbeJournal.h"
#include "WatchedWorld.h"

namespace {

// The plug-in classes switched on for the watched folder: the test probe
// and the notifier, whose list keeps every entry (its own cost per entry
// is in notifier_bench).
const wchar_t* const kPlugins[] = {L"ZarqProbe", L"ZarqNotifier"};

// The cursor and icon objects the alerts create and destroy.
LONG g_cursorsMade = 0;
LONG g_cursorsGone = 0;

HICON WINAPI CountingCopyIcon(HICON icon)
{
    HICON copy = RealAddinSeams().CopyIcon(icon);
    if (copy)
        ++g_cursorsMade;
    return copy;
}

// Windows destroys the cursor it is handed; Wine's SetSystemCursor leaves
// it, so it is destroyed here as Windows would.
BOOL WINAPI OwningSetSystemCursor(HCURSOR cursor, DWORD id)
{
    const BOOL set = RealAddinSeams().SetSystemCursor(cursor, id);
    if (::DestroyCursor(cursor))
        ++g_cursorsGone;
    return set;
}

void WINAPI NoPause(DWORD) {}

struct Figures {
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    DWORD handles = 0;       // GetProcessHandleCount
    DWORD handlesProbed = 0; // valid handle values found in the handle table
    DWORD gdi = 0;
    DWORD user = 0;
    SIZE_T heapBytes = 0; // busy blocks of the process heap
    DWORD heapBlocks = 0;
    DWORD windows = 0; // top-level windows of this thread
};

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

Figures Measure()
{
    Figures f;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof memory)) {
        f.privateBytes = memory.PrivateUsage;
        f.workingSet = memory.WorkingSetSize;
    }
    ::GetProcessHandleCount(::GetCurrentProcess(), &f.handles);
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++f.handlesProbed;
    }
    f.gdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    f.user = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    // Every heap of the process: the C runtime keeps one of its own.
    HANDLE heaps[64] = {};
    const DWORD heapCount = std::min<DWORD>(::GetProcessHeaps(64, heaps), 64);
    for (DWORD h = 0; h < heapCount; ++h) {
        if (!::HeapLock(heaps[h]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (::HeapWalk(heaps[h], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                f.heapBytes += entry.cbData;
                ++f.heapBlocks;
            }
        }
        ::HeapUnlock(heaps[h]);
    }
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&f.windows));
    return f;
}

void Deliver(outlooksim::OutlookWorld& world, const wchar_t* folder, int n, ProbeJournal& probe)
{
    for (int i = 0; i < n; ++i) {
        world.Deliver(folder, olMailItem, {L"Neue Nachricht", L"Erika Muster"});
        if (i % 1000 == 999) {
            world.GetTrace().Clear(); // the stand-in's trace of the calls
            probe.Reset();            // the probe's journal of its calls
        }
    }
    world.GetTrace().Clear();
    probe.Reset();
}

void Row(const char* what, double before, double after, double standIn, int items)
{
    const double addin = (after - before) - standIn;
    std::printf("  %-30s %14.0f %14.0f %14.0f %12.0f %10.3f\n", what, before, after, standIn, addin, addin / items);
}

// Registers the probe plug-in beside this program if its class is unknown.
void RegisterPlugins()
{
    CLSID clsid{};
    if (SUCCEEDED(::CLSIDFromProgID(L"ZarqProbe.ZarqPlugin", &clsid)))
        return;
    if (HMODULE dll = ::LoadLibraryA("ZarqProbe.dll")) {
        if (auto reg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(::GetProcAddress(dll, "DllRegisterServer")))
            reg();
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int items = argc > 1 ? std::atoi(argv[1]) : 10000;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RegisterPlugins();
    ProbeJournal probe;
    // The probe also writes each call to standard output; the figures go
    // there through the C runtime, which keeps the original handle.
    ::SetStdHandle(STD_OUTPUT_HANDLE,
                   ::CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    // Every alert runs through the real system calls, but for the cursor's
    // half-second pause.
    g_addinSeams.Sleep = &NoPause;
    g_addinSeams.CopyIcon = &CountingCopyIcon;
    g_addinSeams.SetSystemCursor = &OwningSetSystemCursor;
    {
        WatchedWorld w;
        outlooksim::OutlookWorld& world = w.world;
        _NotifyFolder* nf = w.support.Get();
        if (!nf) {
            std::printf("the folder could not be watched\n");
            return 1;
        }
        for (const wchar_t* plugin : kPlugins)
            nf->AddPluginByClass(com::Bstr(plugin).get());
        long plugins = 0;
        nf->get_PluginCount(&plugins);
        std::printf("%d items; alerts: tray icon, sound, cursor; %ld plug-in(s) switched on\n", items, plugins);

        // Warm-up: first-time allocations (type information, sound, caches).
        Deliver(world, L"Support", 200, probe);
        Deliver(world, L"Archiv", 200, probe);
        const LONG madeBefore = g_cursorsMade, goneBefore = g_cursorsGone;
        const Figures before = Measure();
        Deliver(world, L"Support", items, probe);
        const Figures after = Measure();
        const LONG made = g_cursorsMade - madeBefore, gone = g_cursorsGone - goneBefore;
        Deliver(world, L"Archiv", items, probe);
        const Figures standIn = Measure();

        auto d = [](SIZE_T a, SIZE_T b) { return static_cast<double>(b) - static_cast<double>(a); };
        std::printf("  %-30s %14s %14s %14s %12s %10s\n", "counter", "before", "after", "stand-in", "add-in",
                    "per item");
        Row("private bytes", before.privateBytes, after.privateBytes, d(after.privateBytes, standIn.privateBytes),
            items);
        Row("working set bytes", before.workingSet, after.workingSet, d(after.workingSet, standIn.workingSet), items);
        Row("heap bytes in use", before.heapBytes, after.heapBytes, d(after.heapBytes, standIn.heapBytes), items);
        Row("heap blocks in use", before.heapBlocks, after.heapBlocks, d(after.heapBlocks, standIn.heapBlocks), items);
        Row("handles (GetProcessHandleCount)", before.handles, after.handles, d(after.handles, standIn.handles), items);
        Row("handles (probed)", before.handlesProbed, after.handlesProbed,
            d(after.handlesProbed, standIn.handlesProbed), items);
        Row("GDI objects (GetGuiResources)", before.gdi, after.gdi, d(after.gdi, standIn.gdi), items);
        Row("USER objects (GetGuiResources)", before.user, after.user, d(after.user, standIn.user), items);
        Row("windows of the thread", before.windows, after.windows, d(after.windows, standIn.windows), items);
        std::printf("  cursors made by the alerts: %ld, destroyed: %ld, left: %ld\n", static_cast<long>(made),
                    static_cast<long>(gone), static_cast<long>(made - gone));
        if (before.gdi == 0 && after.gdi == 0)
            std::printf("  (GetGuiResources reports 0 here: GDI/USER objects are counted through the cursors made "
                        "and destroyed, and the windows)\n");
    }
    ::CoUninitialize();
    return 0;
}
