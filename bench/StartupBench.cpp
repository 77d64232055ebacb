// The add-in's start-up as Outlook times it (the connect class's creation,
// OnConnection and OnStartupComplete), the longest single time the
// user-interface thread is blocked (one of those three calls, or one
// message dispatched while the watched folders bind), and the time after
// the start-up until every folder is bound: for 1, 10 and 100 watched
// public folders, with 0 and 200 ms per GetFolderFromID. Minimum and median
// of several rounds; the rows with 100 folders at 200 ms take 20 s a
// round and run fewer rounds.
//
// Goals: start-up at most 100 ms whatever the count and the latency; no
// step longer than the latency + 10 ms; all bound within count x (latency
// + 10 ms).
//
// Run: build/wine-run.sh build/bin/startup_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "Folder.h"
#include "Measure.h"
#include "NotifyFoldersIni.h"
#include "OutlookWorld.h"
#include "Tarnwell.h"

namespace {

struct Round {
    double startup = 0, longest = 0, bound = 0;
};

// The configuration file of count watched public folders.
void Configure(outlooksim::OutlookWorld& world, int count)
{
    const std::wstring file = NotifyFoldersIni::ConfigurationFile();
    ::DeleteFileW(file.c_str());
    for (int i = 1; i <= count; ++i) {
        outlooksim::Folder* folder = world.AddFolder(L"Ordner " + std::to_wstring(i));
        const std::wstring section = L"Folder" + std::to_wstring(i);
        ::WritePrivateProfileStringW(section.c_str(), L"EntryId", folder->EntryId().c_str(), file.c_str());
        ::WritePrivateProfileStringW(section.c_str(), L"StoreId", folder->StoreId().c_str(), file.c_str());
        ::WritePrivateProfileStringW(section.c_str(), L"FriendlyName", folder->Name().c_str(), file.c_str());
        ::WritePrivateProfileStringW(section.c_str(), L"ShowTrayIcon", L"1", file.c_str());
    }
    ::WritePrivateProfileStringW(L"General", L"FolderCount", std::to_wstring(count).c_str(), file.c_str());
}

Round StartOnce(int count, DWORD latency)
{
    outlooksim::OutlookWorld world{outlooksim::OutlookWorld::Options{false, false}};
    Configure(world, count);
    world.SetLatency(latency, 0);
    Round round;
    const double t0 = bench::Now();
    com::ComPtr<Tarnwell> addin = com::Make<Tarnwell>();
    const double t1 = bench::Now();
    addin->OnConnection(world.Application().Get(), ext_cm_Startup, nullptr, nullptr);
    const double t2 = bench::Now();
    addin->OnStartupComplete(nullptr);
    const double t3 = bench::Now();
    round.startup = t3 - t0;
    round.longest = std::max({t1 - t0, t2 - t1, t3 - t2});
    // Outlook's message loop, until every folder is bound.
    MSG msg;
    while (addin->Binder() && addin->Binder()->QueuedCount() > 0) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            continue;
        }
        const double start = bench::Now();
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        round.longest = std::max(round.longest, bench::Now() - start);
    }
    round.bound = bench::Now() - t3;
    addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
    return round;
}

std::optional<std::string> ReadFile(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // The configuration file beside this program is put back at the end.
    const std::wstring file = NotifyFoldersIni::ConfigurationFile();
    const std::optional<std::string> saved = ReadFile(file);
    StartOnce(1, 0); // the warm-up: libraries loaded, classes registered

    std::printf("start-up (creation + OnConnection + OnStartupComplete), longest blocking step, all bound after\n");
    std::printf("min / median in ms\n");
    std::printf("  %7s %8s %6s %19s %19s %21s\n", "folders", "latency", "rounds", "start-up", "longest step",
                "all bound");
    for (DWORD latency : {0u, 200u}) {
        for (int count : {1, 10, 100}) {
            const int n = static_cast<DWORD>(count) * latency >= 10000u ? std::min(rounds, 3) : rounds;
            bench::Figure startup, longest, bound;
            for (int i = 0; i < n; ++i) {
                const Round r = StartOnce(count, latency);
                startup.seconds.push_back(r.startup);
                longest.seconds.push_back(r.longest);
                bound.seconds.push_back(r.bound);
            }
            std::printf("  %7d %5lu ms %6d %8.1f / %8.1f %8.1f / %8.1f %9.1f / %9.1f\n", count,
                        static_cast<unsigned long>(latency), n, startup.Min() * 1e3, startup.Median() * 1e3,
                        longest.Min() * 1e3, longest.Median() * 1e3, bound.Min() * 1e3, bound.Median() * 1e3);
            std::fflush(stdout);
        }
    }

    ::DeleteFileW(file.c_str());
    if (saved)
        std::ofstream(std::filesystem::path(file), std::ios::binary) << *saved;
    ::CoUninitialize();
    return 0;
}
