// corvane-host: loads an Outlook add-in into the Outlook stand-in, the way
// Outlook does, and runs a scenario against it.
//
//   corvane-host.exe [<scenario file> | --scenario <name>] [--out <folder for screenshots>]
//                    [--fail-alloc <k>|<first>-<last>[/<stride>]]
//
// Without a scenario file it runs the built-in demo; --scenario names one
// of the built-in scenarios ("demo", "real-outlook", "allocations",
// "allocations-quit"). The trace goes to standard output. --fail-alloc runs
// the scenario once per k, the k-th memory allocation of the product's
// libraries failing (FaultRuns.h; 0 only counts them). The exit code is 0,
// or 2 when the command line or the scenario is malformed.
#include <windows.h>
#include <ole2.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "FaultRuns.h"
#include "OutlookWorld.h"
#include "SampleScenario.h"
#include "Scenario.h"
#include "ScenarioRunner.h"
#include "Trace.h"
#include "com/ComModule.h"

namespace {

using outlooksim::Trace;

struct CommandLine {
    std::wstring scenarioPath;
    const outlooksim::BuiltInScenario* builtIn = nullptr;
    std::wstring outDir = L".";
    std::optional<outlooksim::FaultRuns::Range> faults;
};

int Usage(const std::wstring& problem)
{
    Trace::Write(L"corvane-host: " + problem +
                 L"\nusage: corvane-host.exe [<scenario file> | --scenario <name>] [--out <folder>] "
                 L"[--fail-alloc <k>|<first>-<last>[/<stride>]]\n");
    return 2;
}

std::optional<CommandLine> ParseCommandLine(int argc, wchar_t** argv, std::wstring* problem)
{
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--out" && i + 1 < argc) {
            line.outDir = argv[++i];
        } else if (arg == L"--scenario" && i + 1 < argc) {
            line.builtIn = outlooksim::FindBuiltInScenario(argv[++i]);
            if (!line.builtIn) {
                *problem = L"no built-in scenario " + std::wstring(argv[i]);
                return std::nullopt;
            }
        } else if (arg == L"--fail-alloc" && i + 1 < argc) {
            line.faults.emplace();
            if (!outlooksim::FaultRuns::ParseRange(argv[++i], &*line.faults)) {
                *problem =
                    L"--fail-alloc needs <k>, <first>-<last> or <first>-<last>/<stride>: " + std::wstring(argv[i]);
                return std::nullopt;
            }
        } else if (arg.starts_with(L"-")) {
            *problem = L"unknown option " + arg;
            return std::nullopt;
        } else if (line.scenarioPath.empty()) {
            line.scenarioPath = arg;
        } else {
            *problem = L"more than one scenario file";
            return std::nullopt;
        }
    }
    if (line.builtIn && !line.scenarioPath.empty()) {
        *problem = L"a scenario file and --scenario";
        return std::nullopt;
    }
    if (!line.builtIn && line.scenarioPath.empty())
        line.builtIn = outlooksim::FindBuiltInScenario(L"demo");
    return line;
}

// The scenario file's text (UTF-8, with or without a byte order mark).
std::optional<std::wstring> ReadScenario(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

int Run(const CommandLine& line)
{
    std::wstring name = line.builtIn ? line.builtIn->title : line.scenarioPath;
    std::optional<std::wstring> text =
        line.builtIn ? std::wstring(line.builtIn->text) : ReadScenario(line.scenarioPath);
    if (!text)
        return Usage(L"cannot read " + line.scenarioPath);
    outlooksim::Scenario scenario = outlooksim::Scenario::Parse(*text);
    if (!scenario.Ok()) {
        Trace::Write(L"corvane-host: " + name + L": " + scenario.Error()->Describe() + L"\n");
        return 2;
    }

    if (line.faults) {
        outlooksim::FaultRuns::Run(scenario, *line.faults, {line.outDir, com::Module::Directory()});
        return 0;
    }
    outlooksim::OutlookWorld world(outlooksim::OutlookWorld::Options{true, true});
    world.GetTrace().Host(L"scenario: " + name);
    {
        outlooksim::ScenarioRunner runner(world, {line.outDir, com::Module::Directory()});
        runner.Run(scenario);
    }
    world.GetTrace().Host(L"end of scenario");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    ::SetConsoleOutputCP(CP_UTF8);
    std::wstring problem;
    std::optional<CommandLine> line = ParseCommandLine(argc, argv, &problem);
    if (!line)
        return Usage(problem);
    if (FAILED(::OleInitialize(nullptr)))
        return Usage(L"OLE cannot be initialized");
    int code = Run(*line);
    ::OleUninitialize();
    return code;
}
