#pragma once

#include "bench/medianreporter.h"

#include <map>
#include <string>

// MedianReporter for files that register several benchmarks: the medians by
// "name/arguments", in wall-clock time and in CPU time. On a shared machine
// the CPU time is the steadier figure; both are printed.
class NamedMedianReporter : public MedianReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                const std::string name = run.run_name.function_name + "/" + run.run_name.args;
                realMedians[name] = run.GetAdjustedRealTime();
                cpuMedians[name] = run.GetAdjustedCPUTime();
            }
        }
        MedianReporter::ReportRuns(runs);
    }

    std::map<std::string, double> realMedians;
    std::map<std::string, double> cpuMedians;
};
