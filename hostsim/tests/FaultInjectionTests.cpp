// The proof that no failed memory allocation ends Outlook: corvane-host runs
// each allocation tour against the real DLLs, the k-th allocation of the
// product's libraries failing. With CORVANE_FAULTS_EVERY_K=1 in the
// environment every k from 1 to the tour's count runs (a stride only where
// the count is above kMaxRuns); a run of a tour takes about a second under
// Wine, so by default the test takes a stride that keeps it to kRunsInTest
// runs per tour and says so. No run may end the host
// (an exception, std::terminate, an exit code other than 0), and every run
// must leave the configuration file either as the tour wrote it or as the
// run without a failure left it.
//
// Many runs share one host process; a run that crashes ends it, and the
// next process begins after that run.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FilesSetAside.h"
#include "HostRun.h"
#include "com/ComModule.h"
#include "com/ComRaii.h"

namespace {

using namespace hosttest;

constexpr unsigned long kMaxRuns = 20000;
constexpr unsigned long kRunsInTest = 250;
// Runs per host process: each process also makes one run without a failure
// first, and a process must end within the two minutes RunCollecting allows.
constexpr unsigned long kRunsPerProcess = 25;

// The most runs a tour makes: kMaxRuns when every k is asked for, else kRunsInTest.
unsigned long MostRuns()
{
    wchar_t every[8] = {};
    return ::GetEnvironmentVariableW(L"CORVANE_FAULTS_EVERY_K", every, 8) && every[0] == L'1' ? kMaxRuns : kRunsInTest;
}

unsigned long Stride(unsigned long allocations)
{
    const unsigned long most = MostRuns();
    return allocations > most ? (allocations + most - 1) / most : 1;
}

const std::wstring kPrefix = L"faults: ";

// What the runs of one tour found.
struct Findings {
    unsigned long allocations = 0, stride = 1, runs = 0;
    unsigned long asApplied = 0; // runs whose failure took a step of the page away
    std::vector<std::string> crashes, damaged;
};

bool StartsWith(const std::wstring& line, const std::wstring& text) { return line.rfind(text, 0) == 0; }

// "faults: run 17" (started) or "faults: run 17: ..." (its result): the k.
bool RunLine(const std::wstring& line, unsigned long* k, bool* result)
{
    if (!StartsWith(line, kPrefix + L"run "))
        return false;
    const std::wstring rest = line.substr(kPrefix.size() + 4);
    const size_t end = rest.find_first_not_of(L"0123456789");
    if (end == 0)
        return false;
    *k = std::stoul(rest.substr(0, end));
    *result = end != std::wstring::npos && rest.compare(end, 2, L": ") == 0;
    return end == std::wstring::npos || *result;
}

std::string Joined(const std::vector<std::wstring>& lines, size_t from)
{
    std::string text;
    for (size_t i = from; i < lines.size(); ++i)
        text += "\n    " + com::ToUtf8(lines[i]);
    return text;
}

class FaultInjection : public ::testing::Test {
  protected:
    void SetUp() override
    {
        m_files.SetAside();
        // Wine: the host's windows on a desktop of their own, which Wine
        // shows as a window of this size. On the X server's desktop every
        // top-level window that is hidden waits up to two seconds for a
        // window manager there is none of under Xvfb. The host is started
        // on that desktop by name: a child takes its parent's desktop, so a
        // desktop chosen for the program in Wine's AppDefaults is not used.
        // (The key means nothing to Windows.)
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopsKey, kDesktop, REG_SZ, L"1024x768", sizeof L"1024x768");
    }
    void TearDown() override
    {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopsKey, kDesktop);
        m_files.PutBack();
    }
    static constexpr wchar_t kDesktopsKey[] = L"Software\\Wine\\Explorer\\Desktops";
    static constexpr wchar_t kDesktop[] = L"corvane-faults";

    static Findings RunTour(const std::wstring& tour)
    {
        Findings found;
        const HostRun count = RunHost(L"--scenario " + tour + L" --fail-alloc 0", kDesktop);
        EXPECT_EQ(0u, count.exitCode) << Joined(count.lines, 0);
        for (const std::wstring& line : count.lines)
            if (StartsWith(line, kPrefix + L"count: "))
                found.allocations = std::stoul(line.substr(kPrefix.size() + 7));
        EXPECT_LT(0ul, found.allocations) << Joined(count.lines, 0);
        found.stride = Stride(found.allocations);

        for (unsigned long first = 1; first <= found.allocations;) {
            const unsigned long last = std::min(found.allocations, first + (kRunsPerProcess - 1) * found.stride);
            const HostRun host = RunHost(L"--scenario " + tour + L" --fail-alloc " + std::to_wstring(first) + L"-" +
                                             std::to_wstring(last) + L"/" + std::to_wstring(found.stride),
                                         kDesktop);
            unsigned long started = 0;
            size_t startedAt = 0;
            bool ended = false;
            for (size_t i = 0; i < host.lines.size(); ++i) {
                const std::wstring& line = host.lines[i];
                unsigned long k = 0;
                bool result = false;
                if (RunLine(line, &k, &result) && !result) {
                    started = k;
                    startedAt = i;
                } else if (RunLine(line, &k, &result)) {
                    ++found.runs;
                    if (line.find(L"configuration damaged") != std::wstring::npos)
                        found.damaged.push_back(com::ToUtf8(line));
                    else if (line.find(L"configuration as applied") != std::wstring::npos)
                        ++found.asApplied;
                } else if (line == kPrefix + L"end") {
                    ended = true;
                }
            }
            if (ended && host.exitCode == 0) {
                first = last + found.stride;
                continue;
            }
            char code[16];
            std::snprintf(code, sizeof code, "0x%08lX", host.exitCode);
            if (started == 0 || started < first) {
                ADD_FAILURE() << "the host ended before its first run, exit code " << code << ":"
                              << Joined(host.lines, 0);
                break;
            }
            ++found.runs;
            found.crashes.push_back("run " + std::to_string(started) + ", exit code " + code + ":" +
                                    Joined(host.lines, startedAt));
            first = started + found.stride;
        }
        return found;
    }

    static void Report(const std::wstring& tour, const Findings& found)
    {
        std::printf("%s: %lu allocations, %lu runs (%s), %zu crashes, %zu damaged configuration files, %lu runs "
                    "in which a step of the page could not be taken\n",
                    com::ToUtf8(tour).c_str(), found.allocations, found.runs,
                    found.stride == 1 ? "every k"
                                      : ("every " + std::to_string(found.stride) + "th k: more allocations than " +
                                         std::to_string(MostRuns()) + " runs")
                                            .c_str(),
                    found.crashes.size(), found.damaged.size(), found.asApplied);
        std::fflush(stdout);
        for (const std::string& crash : found.crashes)
            ADD_FAILURE() << com::ToUtf8(tour) << ": " << crash;
        for (const std::string& line : found.damaged)
            ADD_FAILURE() << com::ToUtf8(tour) << ": " << line;
    }

  private:
    const std::wstring m_config = com::Module::Directory() + L"notifyfolders.ini";
    FilesSetAside m_files{{m_config, m_config + L".bak"}};
};

} // namespace

TEST_F(FaultInjection, NoFailedAllocationEndsTheHostWhenOutlookDisconnects)
{
    Report(L"allocations", RunTour(L"allocations"));
}

TEST_F(FaultInjection, NoFailedAllocationEndsTheHostAtTheFastShutdown)
{
    Report(L"allocations-quit", RunTour(L"allocations-quit"));
}
