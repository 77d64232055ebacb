// How the benchmarks time what they compare. Every operation of a
// comparison runs once per round, several rounds; the order of the
// operations is reversed from one round to the next (A B, B A, A B, ...), so
// that none of them always runs first or always follows the same
// neighbour. Before the first round the operation that opens it runs once
// untimed, so that no figure includes a cold start. A figure is the minimum
// and the median of its rounds; a ratio compares an operation with the
// comparison's baseline, minimum with minimum and median with median.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "com/Clock.h"

namespace bench {

// Seconds on the performance counter.
inline double Now() { return com::ClockSeconds(); }

struct Operation {
    std::string name;
    std::function<void()> run;               // timed
    std::function<void()> prepare = {};      // before every run, untimed
    std::function<std::string()> check = {}; // after every run, untimed: a note on what the run did
};

// The rounds of one operation.
struct Figure {
    std::string name;
    std::vector<double> seconds; // one per round, in round order
    std::string note;            // the last run's

    double Min() const { return seconds.empty() ? 0 : *std::min_element(seconds.begin(), seconds.end()); }
    double Median() const
    {
        if (seconds.empty())
            return 0;
        std::vector<double> sorted(seconds);
        std::sort(sorted.begin(), sorted.end());
        const size_t middle = sorted.size() / 2;
        return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
    }
};

// Runs the operations in rounds, in list order in even rounds and in
// reverse order in odd ones; the figures come back in list order.
inline std::vector<Figure> Measure(const std::vector<Operation>& operations, int rounds)
{
    std::vector<Figure> figures;
    for (const Operation& operation : operations)
        figures.push_back({operation.name, {}, {}});
    auto once = [&](size_t i, bool timed) {
        const Operation& operation = operations[i];
        if (operation.prepare)
            operation.prepare();
        const double start = Now();
        operation.run();
        const double seconds = Now() - start;
        if (timed)
            figures[i].seconds.push_back(seconds);
        if (operation.check)
            figures[i].note = operation.check();
    };
    if (!operations.empty())
        once(0, false); // the warm-up
    const size_t count = operations.size();
    for (int round = 0; round < rounds; ++round)
        for (size_t k = 0; k < count; ++k)
            once(round % 2 == 0 ? k : count - 1 - k, true);
    return figures;
}

// A table of figures against the first one, the baseline: minimum and
// median in the given unit (scale times seconds), and the ratios.
inline void PrintTable(const std::vector<Figure>& figures, double scale, const char* unit)
{
    if (figures.empty())
        return;
    const Figure& baseline = figures.front();
    std::printf("  %-36s %10s %10s %9s %9s\n", "", ("min " + std::string(unit)).c_str(),
                ("median " + std::string(unit)).c_str(), "x min", "x median");
    for (const Figure& figure : figures) {
        const double min = baseline.Min() > 0 ? figure.Min() / baseline.Min() : 0;
        const double median = baseline.Median() > 0 ? figure.Median() / baseline.Median() : 0;
        std::printf("  %-36s %10.3f %10.3f %9.2f %9.2f  %s\n", figure.name.c_str(), figure.Min() * scale,
                    figure.Median() * scale, min, median, figure.note.c_str());
    }
}

} // namespace bench
