// The notifier's cost per new item as the list grows: HandleItemAdd (a
// line at the top, the window shown and repainted, pending messages run)
// with 1, 1,000, 10,000 and 100,000 entries already in the list, and the
// process's memory per entry.
//
// The list is filled through the window's MailItemAdd, without showing it
// each time, so that 100,000 entries take seconds; the figures are taken
// through the plug-in's own HandleItemAdd.
//
// Run: build/wine-run.sh build/bin/notifier_bench.exe
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "Folder.h"
#include "OutlookWorld.h"
#include "ZarqPlugin.h"
#include "com/ComModule.h"
#include "com/LateBound.h"
#include "corvane.h"
#include "frmNotify.h"
#include "modNotify.h"

namespace {

double Now()
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    return counters.PrivateUsage;
}

// The add-in and the registry library this program talks to, registered
// from the build folder (the bench may run before the tests ever did).
bool RegisterServer(const wchar_t* name)
{
    HMODULE module = ::LoadLibraryW((com::Module::Directory() + name).c_str());
    if (!module)
        return false;
    using Register = HRESULT(STDAPICALLTYPE*)();
    auto reg = reinterpret_cast<Register>(::GetProcAddress(module, "DllRegisterServer"));
    return reg && SUCCEEDED(reg());
}

} // namespace

int main()
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (!RegisterServer(L"corvane.dll") || !RegisterServer(L"rovane.dll")) {
        std::printf("corvane.dll and rovane.dll must be beside this program\n");
        return 1;
    }
    {
        outlooksim::OutlookWorld world(outlooksim::OutlookWorld::Options{false, false});
        outlooksim::Folder* support = world.AddFolder(L"Support");
        world.AddFolder(L"Archiv");
        CLSID clsid{};
        ::CLSIDFromProgID(L"corvane.NotifyFolders", &clsid);
        com::ComPtr<_NotifyFolders> folders;
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(_NotifyFolders),
                           reinterpret_cast<void**>(folders.GetAddressOf()));
        com::Variant ns;
        com::CallMethod(world.Application().Get(), L"GetNamespace", {com::Variant(L"MAPI")}, &ns);
        if (!folders || ns.vt != VT_DISPATCH) {
            std::printf("the add-in's folder collection could not be made\n");
            return 1;
        }
        folders->putref_OutlookNamespace(ns.pdispVal);
        long index = 0;
        folders->Add(com::Bstr(support->EntryId()).get(), com::Bstr(support->StoreId()).get(),
                     com::Bstr(L"Support").get(), &index);
        com::ComPtr<_NotifyFolder> nf;
        folders->GetAt(index, nf.GetAddressOf());

        auto plugin = com::Make<ZarqPlugin>();
        plugin->StartUp();
        frmNotify* window = NotifyWindow();
        // Items of a folder nobody watches: only this program hands them on.
        com::ComPtr<IDispatch> item =
            world.Deliver(L"Archiv", olMailItem, {L"Drucker im 2. OG druckt nicht", L"Erika Mustermann", 45000.5});
        if (!window || !item || !nf) {
            std::printf("the notifier's window could not be made\n");
            return 1;
        }

        constexpr int kMeasured = 200;
        std::printf("HandleItemAdd with the list already holding n entries (%d items each, best of 3):\n", kMeasured);
        std::printf("  %-8s %12s %12s\n", "n", "us/item", "ratio");
        double atThousand = 0;
        SIZE_T memoryBefore = 0;
        for (int n : {1, 1000, 10000, 100000}) {
            if (n == 1)
                memoryBefore = PrivateBytes();
            while (window->EntryCount() < static_cast<size_t>(n))
                window->MailItemAdd(item.Get(), L"Support");
            double best = 1e300;
            for (int round = 0; round < 3; ++round) {
                const double start = Now();
                for (int i = 0; i < kMeasured; ++i)
                    plugin->HandleItemAdd(item.Get(), nf.Get());
                best = std::min(best, (Now() - start) * 1e6 / kMeasured);
            }
            if (n == 1000)
                atThousand = best;
            std::printf("  %-8d %12.1f %12s\n", n, best,
                        atThousand > 0 ? (std::to_string(best / atThousand).substr(0, 4) + "x").c_str() : "-");
        }
        const size_t entries = window->EntryCount();
        const double perEntry = static_cast<double>(PrivateBytes() - memoryBefore) / static_cast<double>(entries);
        std::printf("memory: %.0f bytes per entry (private bytes over %zu entries)\n", perEntry, entries);
        plugin->ShutDown();
        folders->BeginShutdown();
    }
    ::CoUninitialize();
    return 0;
}
