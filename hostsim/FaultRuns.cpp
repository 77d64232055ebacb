#include "FaultRuns.h"

#include <windows.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "AddinHost.h"
#include "AllocationFaults.h"
#include "MessagePump.h"
#include "OutlookWorld.h"
#include "SystemCallTracer.h"
#include "Trace.h"
#include "com/ComRaii.h"
#include "config/NotifyFoldersFile.h"

namespace outlooksim {

namespace {

// The product's in-process servers, loaded from where they are registered
// before the first run, so that COM uses these modules.
const wchar_t* const kProductServers[] = {L"corvane.Tarnwell", L"corvaneProps.zarqPropMain", L"ZarqNotifier.ZarqPlugin",
                                          L"rovane.Registry"};

unsigned long g_run = 0; // the k of the run under way, for the crash report

void Print(const std::wstring& line) { Trace::Write(L"faults: " + line + L"\n"); }

void PrintFailedStack()
{
    if (!AllocationFaults::Failed())
        return Print(L"  no allocation had failed yet");
    Print(L"  the failed allocation (" + com::Widen(AllocationFaults::FailedFunction()) + L") was called from:");
    for (void* frame : AllocationFaults::FailedStack())
        Print(L"    " + AllocationFaults::Where(frame));
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info)
{
    wchar_t code[16];
    std::swprintf(code, 16, L"0x%08lX", info->ExceptionRecord->ExceptionCode);
    Print(L"run " + std::to_wstring(g_run) + L" crashed: exception " + code + L" at " +
          AllocationFaults::Where(info->ExceptionRecord->ExceptionAddress));
    PrintFailedStack();
    ::TerminateProcess(::GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

// abort() is how the runtime ends the process after std::terminate; the
// signal table is the runtime library's, shared by every module using it.
void ReportAbort(int)
{
    Print(L"run " + std::to_wstring(g_run) + L" ended by abort (std::terminate)");
    PrintFailedStack();
    ::TerminateProcess(::GetCurrentProcess(), 3);
}

// A failure the product reports to the user shows its error form or a
// message box, modal in this thread; a timer, which runs in their message
// loops too, confirms each one, as a user would.
unsigned long g_dialogsClosed = 0;

BOOL CALLBACK CloseReport(HWND window, LPARAM)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (!::IsWindowVisible(window))
        return TRUE;
    if (std::wstring_view(name) == L"corvane.frmError") {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        ++g_dialogsClosed;
    } else if (std::wstring_view(name) == L"#32770" && ::GetDlgItem(window, 0xFFFF) &&
               !::FindWindowExW(window, nullptr, L"SysTabControl32", nullptr)) {
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
        ++g_dialogsClosed;
    }
    return TRUE;
}

void CALLBACK CloseReports(HWND, UINT, UINT_PTR, DWORD)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), &CloseReport, 0);
}

void AttachLibraries()
{
    std::wstring text = L"libraries:";
    for (const wchar_t* progId : kProductServers) {
        const std::wstring path = AddinHost::LibraryPath(progId);
        HMODULE module = path.empty() ? nullptr : ::LoadLibraryW(path.c_str());
        if (!module) {
            text += L" " + std::wstring(progId) + L" not loaded,";
            continue;
        }
        text += L" " + path.substr(path.find_last_of(L'\\') + 1) + L" " +
                std::to_wstring(AllocationFaults::Attach(module)) + L" imports routed,";
    }
    text.pop_back();
    Print(text);
}

struct Outcome {
    unsigned long allocations = 0;
    unsigned stepsNotTaken = 0; // of the tour's page steps
    std::optional<std::string> written, left;
};

Outcome RunOnce(const Scenario& scenario, unsigned long k, bool echo, const ScenarioRunner::Options& options)
{
    Outcome outcome;
    g_run = k;
    g_dialogsClosed = 0;
    AllocationFaults::Arm(k);
    {
        OutlookWorld world(OutlookWorld::Options{echo, false});
        ScenarioRunner runner(world, options);
        runner.Run(scenario);
        outcome.written = runner.Configuration().written;
        outcome.left = runner.Configuration().left;
        outcome.stepsNotTaken = runner.StepsNotTaken();
    }
    MessagePump::PumpPending();
    outcome.allocations = AllocationFaults::Disarm();
    SystemCallTracer::Detach();
    return outcome;
}

// A file the add-in wrote whole, by its first and last lines (ASCII, so
// any decoding of the bytes reads them).
bool WrittenWhole(const std::string& file) { return nffile::StateOf(com::Widen(file)) == nffile::FileState::Complete; }

// The configuration file must be the one the tour began with or the one
// the run without a failure left. A run in which a step of the page could
// not be taken (the failure took a control or a list entry away, as the
// user would have seen) has no such file to compare with: a file written
// whole is what it applied, and is said so.
std::wstring Judge(const Outcome& run, const Outcome& reference)
{
    if (run.left && *run.left == reference.written)
        return L"old";
    if (run.left && *run.left == reference.left)
        return L"new";
    if (run.left && run.stepsNotTaken > 0 && WrittenWhole(*run.left))
        return L"as applied (" + std::to_wstring(run.stepsNotTaken) + L" steps of the page not taken)";
    return L"damaged";
}

// What a damaged configuration file holds, line by line where it differs
// from the file of the run without a failure.
void PrintDamage(const Outcome& run, const Outcome& reference)
{
    if (!run.left) {
        Print(L"  no configuration file left");
        return;
    }
    const auto lines = [](const std::string& text) {
        std::vector<std::string> result;
        size_t from = 0;
        while (from < text.size()) {
            const size_t end = text.find('\n', from);
            result.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
            from = end == std::string::npos ? text.size() : end + 1;
        }
        return result;
    };
    const std::vector<std::string> left = lines(*run.left);
    const std::vector<std::string> expected = lines(reference.left.value_or(std::string()));
    for (size_t i = 0; i < std::max(left.size(), expected.size()); ++i) {
        const std::string got = i < left.size() ? left[i] : "(none)";
        const std::string want = i < expected.size() ? expected[i] : "(none)";
        if (got != want)
            Print(L"  line " + std::to_wstring(i + 1) + L": " + com::Widen(got) + L" (without a failure: " +
                  com::Widen(want) + L")");
    }
}

bool ParseNumber(const std::wstring& text, unsigned long* value)
{
    if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos || text.size() > 9)
        return false;
    *value = std::stoul(text);
    return true;
}

} // namespace

bool FaultRuns::ParseRange(const std::wstring& text, Range* range)
{
    const size_t slash = text.find(L'/');
    const std::wstring span = text.substr(0, slash);
    const size_t dash = span.find(L'-');
    if (!ParseNumber(span.substr(0, dash), &range->first))
        return false;
    range->last = range->first;
    range->stride = 1;
    if (dash != std::wstring::npos && !ParseNumber(span.substr(dash + 1), &range->last))
        return false;
    if (slash != std::wstring::npos && !ParseNumber(text.substr(slash + 1), &range->stride))
        return false;
    return range->stride > 0 && range->last >= range->first;
}

void FaultRuns::Run(const Scenario& scenario, const Range& range, const ScenarioRunner::Options& options)
{
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::SetUnhandledExceptionFilter(&ReportCrash);
    std::signal(SIGABRT, &ReportAbort);
    ::SetTimer(nullptr, 0, 200, &CloseReports);
    AttachLibraries();
    SystemCallTracer::SkipLongWaits(true);

    // The first run of a process also makes what a module makes once (its
    // window classes, its first lazy tables); the runs after it are alike.
    const bool echo = range.first == range.last && range.first != 0;
    const Outcome reference = RunOnce(scenario, 0, false, options);
    Print(L"count: " + std::to_wstring(reference.allocations) + L" allocations" +
          (reference.left ? L"" : L", no configuration file left"));
    for (unsigned long k = std::max(range.first, 1ul); k <= range.last; k += range.stride) {
        Print(L"run " + std::to_wstring(k));
        const Outcome run = RunOnce(scenario, k, echo, options);
        std::wstring failed =
            AllocationFaults::Failed() ? com::Widen(AllocationFaults::FailedFunction()) + L" failed" : L"none failed";
        Print(L"run " + std::to_wstring(k) + L": " + std::to_wstring(run.allocations) + L" allocations, " + failed +
              L", configuration " + Judge(run, reference) +
              (g_dialogsClosed ? L", " + std::to_wstring(g_dialogsClosed) + L" error reports confirmed" : L""));
        if (echo)
            PrintFailedStack();
        if (Judge(run, reference) == L"damaged")
            PrintDamage(run, reference);
    }
    Print(L"end");
}

} // namespace outlooksim
