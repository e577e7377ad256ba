#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

// Prints the usual console table and keeps the median of every repeated
// benchmark, by its argument text ("" for none), in the benchmark's display
// unit, so that main() can compare it with a budget or a baseline.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.args] = run.GetAdjustedRealTime();
                mediansByName[run.run_name.function_name + "/" + run.run_name.args] =
                    run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> medians;
    // The same medians keyed by "function/args", for files with several benchmarks.
    std::map<std::string, double> mediansByName;
};

// Runs the registered benchmarks with the command line's options; returns
// false (after saying why) when the command line has options it does not know.
inline bool runBenchmarks(int &argc, char **argv, MedianReporter &reporter)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return false;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return true;
}
