// Time of one layout pass. The pass runs on every resize event while the
// user drags the window edge, so it must stay far below a frame: the budget
// is 1 ms a pass.
//
//   bench_layout [--benchmark_repetitions=N]
//
// Prints the usual table, then the median time of a pass against the budget,
// and exits with status 1 when the median is above it.

#include "base/settingsstore.h"
#include "base/settingstable.h"
#include "app/layoutscreen.h"
#include "editor/keycaptions.h"

#include "bench/medianreporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

constexpr double BudgetMicroseconds = 1000.0;

// The default layer-1 keyboard: one wide key, one tall key, two hidden ones.
std::array<QString, quill::KeyCount> keyboard()
{
    quill::SettingsStore settings;
    quill::applyDefaultSettings(settings, QString(), quill::DesignClientWidth);
    return quill::KeyCaptions(settings).captionKeys(1, false);
}

// A drag of the window edge: every pass sees another client size.
void BM_LayoutPass(benchmark::State &state)
{
    quill::LayoutInput input;
    input.keyCaptions = keyboard();
    std::vector<int> widths;
    for (int width = 320; width <= 1920; width += 7)
        widths.push_back(width);
    std::size_t step = 0;
    for (auto _ : state) {
        input.clientWidth = widths[step];
        input.clientHeight = quill::DesignClientHeight + int(step % 64);
        step = (step + 1) % widths.size();
        const quill::LayoutResult layout = quill::computeLayout(input);
        benchmark::DoNotOptimize(layout.visibleLines);
        benchmark::DoNotOptimize(layout.keys[79].geometry);
    }
}

BENCHMARK(BM_LayoutPass)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    MedianReporter reporter;
    if (!runBenchmarks(argc, argv, reporter))
        return 2;

    const auto median = reporter.medians.find("");
    if (median == reporter.medians.end())
        return 0;  // filtered out: nothing to compare
    std::printf("median layout pass: %.3f us (budget %.0f us)\n", median->second, BudgetMicroseconds);
    return median->second <= BudgetMicroseconds ? 0 : 1;
}
