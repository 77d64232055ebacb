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

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "Folder.h"
#include "Measure.h"
#include "OutlookWorld.h"
#include "ZarqPlugin.h"
#include "com/ComModule.h"
#include "com/LateBound.h"
#include "corvane.h"
#include "frmNotify.h"
#include "modNotify.h"

namespace {

// The process's committed private memory, counted region by region (Wine
// reports 0 for the private-bytes counter of GetProcessMemoryInfo).
SIZE_T PrivateBytes()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION info{};
    for (const char* at = nullptr; ::VirtualQuery(at, &info, sizeof info) == sizeof info;
         at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
        if (info.RegionSize == 0)
            break;
    }
    return total;
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

// The list sizes to measure: the arguments, or 1, 1,000, 10,000 and 100,000.
int main(int argc, char** argv)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {1, 1000, 10000, 100000};
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

        constexpr int kMeasured = 50;
        std::printf("HandleItemAdd with the list already holding n entries (%d items each, best of 3):\n", kMeasured);
        std::printf("  %-8s %12s %12s\n", "n", "us/item", "ratio");
        double atThousand = 0;
        SIZE_T memoryBefore = 0;
        // The stand-in keeps a trace line for every property read: it is
        // emptied as the list fills, so that only the notifier's memory counts.
        outlooksim::Trace& trace = world.GetTrace();
        for (int n : sizes) {
            if (memoryBefore == 0) {
                trace.Clear();
                memoryBefore = PrivateBytes();
            }
            // Hidden while it fills: a shown list redraws its scroll bar at
            // every line (HandleItemAdd shows it again).
            window->Hide();
            const double fillStart = bench::Now();
            const size_t filledFrom = window->EntryCount();
            while (window->EntryCount() < static_cast<size_t>(n)) {
                window->MailItemAdd(item.Get(), L"Support");
                if (window->EntryCount() % 1000 == 0)
                    trace.Clear();
            }
            if (window->EntryCount() > filledFrom + 1)
                std::printf("  (%zu entries added in %.1f s)\n", window->EntryCount() - filledFrom,
                            bench::Now() - fillStart);
            double best = 1e300;
            for (int round = 0; round < 3; ++round) {
                const double start = bench::Now();
                for (int i = 0; i < kMeasured; ++i)
                    plugin->HandleItemAdd(item.Get(), nf.Get());
                best = std::min(best, (bench::Now() - start) * 1e6 / kMeasured);
            }
            if (n == 1000)
                atThousand = best;
            std::printf("  %-8d %12.1f %12s\n", n, best,
                        atThousand > 0 ? (std::to_string(best / atThousand).substr(0, 4) + "x").c_str() : "-");
        }
        trace.Clear();
        const size_t entries = window->EntryCount();
        const double perEntry =
            (static_cast<double>(PrivateBytes()) - static_cast<double>(memoryBefore)) / static_cast<double>(entries);
        std::printf("memory: %.0f bytes per entry (committed private memory over %u entries)\n", perEntry,
                    static_cast<unsigned>(entries));
        plugin->ShutDown();
        folders->BeginShutdown();
    }
    ::CoUninitialize();
    return 0;
}
