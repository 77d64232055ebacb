// corvane-host --fail-alloc: runs one scenario again and again in this
// process, the k-th memory allocation of the product's libraries failing in
// each run (AllocationFaults), and reports each run on a line of its own:
//
//   faults: libraries: corvane.dll 12 imports routed, ...
//   faults: count: 5123 allocations                the run without a failure
//   faults: run 17                                  before the run
//   faults: run 17: 5120 allocations, malloc failed, configuration new
//   faults: end
//
// The configuration file is "old" (as the scenario wrote it), "new" (as the
// run without a failure left it) or "damaged" (anything else). A run that
// crashes ends the process: a report of the exception or the abort (the
// runtime's answer to std::terminate) with the failed allocation's stack,
// and an exit code other than 0. The driving test starts again after it.
#pragma once

#include <string>

#include "Scenario.h"
#include "ScenarioRunner.h"

namespace outlooksim {

class FaultRuns {
  public:
    struct Range {
        unsigned long first = 0, last = 0, stride = 1;
    };
    // "<k>", "<first>-<last>" or "<first>-<last>/<stride>"; false if malformed.
    static bool ParseRange(const std::wstring& text, Range* range);

    // The run without a failure, then one run per k of the range (0 alone
    // counts); the trace of the scenario is printed only for a range of one.
    static void Run(const Scenario& scenario, const Range& range, const ScenarioRunner::Options& options);
};

} // namespace outlooksim
