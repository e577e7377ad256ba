// Find and replace steps against the size of the text. A step that must scan
// to the end of the text may grow with it (twice the lines at most 2.4
// times the time: linear; both texts are larger than the caches, so the
// ratio measures the scan, not the memory hierarchy); a step that finds its
// match a few lines below the cursor must not (a hundred times the lines at
// most twice the time: flat).
//
//   bench_search [--benchmark_repetitions=N]
//
// Prints the usual table, then per command the medians (wall clock and CPU)
// and their ratios, and exits with status 1 when a CPU-time ratio is above
// its limit (CPU time is the steadier figure on a shared machine).

#include "editor/findreplace.h"

#include "bench/namedmedians.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr int SmallText = 1000;
constexpr int MediumText = 50000;
constexpr int LargeText = 100000;
constexpr double LinearLimit = 2.4;
constexpr double FlatLimit = 2.0;

// Ordinary game code; the searched name "target" occurs only on the lines
// the benchmark puts it on.
QStringList text(int lines)
{
    QStringList code;
    code.reserve(lines);
    for (int i = 0; i < lines; ++i)
        code.append(QStringLiteral("  var value%1 = value%2 * 3 + spd; // step %1").arg(i).arg(i - 1));
    return code;
}

enum class Place { Far, Near };

// The cursor's line and the text: with Far the only match is the last
// line; with Near it is three lines below the cursor in the middle.
struct Scene {
    Scene(int lines, Place place, const QString &request)
    {
        QStringList made = text(lines);
        cursorLine = place == Place::Far ? 0 : lines / 2;
        const int matchLine = place == Place::Far ? lines - 1 : cursorLine + 3;
        made[matchLine] = QStringLiteral("  move(target, target + 1);");
        made[cursorLine] = QStringLiteral("x = ") + request;
        cursorColumn = int(made[cursorLine].size());
        code = made;
    }
    quill::CodeText code; // as the editor holds it
    int cursorLine = 0;
    int cursorColumn = 0;
};

void BM_Fi(benchmark::State &state, Place place)
{
    const Scene scene(int(state.range(0)), place, QStringLiteral("{target}"));
    for (auto _ : state) {
        quill::SearchState search;
        const auto change = quill::findCommand(scene.code, scene.cursorLine, scene.cursorColumn, search);
        if (!change || change->cursorLine == scene.cursorLine)
            state.SkipWithError("no match");
        benchmark::DoNotOptimize(change);
    }
}

void BM_Fn(benchmark::State &state, Place place)
{
    const Scene scene(int(state.range(0)), place, QString());
    const quill::SearchState search{QStringLiteral("target"), QString()};
    for (auto _ : state) {
        const auto change = quill::findNextCommand(scene.code, scene.cursorLine, 0, search);
        if (!change)
            state.SkipWithError("no match");
        benchmark::DoNotOptimize(change);
    }
}

void BM_Rp(benchmark::State &state, Place place)
{
    const Scene scene(int(state.range(0)), place, QStringLiteral("{target}aim"));
    for (auto _ : state) {
        quill::SearchState search;
        const auto change = quill::replaceCommand(scene.code, scene.cursorLine, scene.cursorColumn, search);
        if (change.empty() || change.back().cursorLine == scene.cursorLine)
            state.SkipWithError("no match");
        benchmark::DoNotOptimize(change);
    }
}

void BM_Rn(benchmark::State &state, Place place)
{
    const Scene scene(int(state.range(0)), place, QString());
    const quill::SearchState search{QStringLiteral("target"), QStringLiteral("aim")};
    for (auto _ : state) {
        const auto change = quill::replaceNextCommand(scene.code, scene.cursorLine + 1, search);
        if (!change)
            state.SkipWithError("no match");
        benchmark::DoNotOptimize(change);
    }
}

#define SEARCH_BENCHMARK(function, place, first, second)                                       \
    BENCHMARK_CAPTURE(function, place, Place::place)                                           \
        ->Arg(first)                                                                           \
        ->Arg(second)                                                                          \
        ->Unit(benchmark::kMicrosecond)                                                        \
        ->Repetitions(9)                                                                       \
        ->ReportAggregatesOnly(true)

SEARCH_BENCHMARK(BM_Fi, Far, MediumText, LargeText);
SEARCH_BENCHMARK(BM_Fi, Near, SmallText, LargeText);
SEARCH_BENCHMARK(BM_Fn, Far, MediumText, LargeText);
SEARCH_BENCHMARK(BM_Fn, Near, SmallText, LargeText);
SEARCH_BENCHMARK(BM_Rp, Far, MediumText, LargeText);
SEARCH_BENCHMARK(BM_Rp, Near, SmallText, LargeText);
SEARCH_BENCHMARK(BM_Rn, Far, MediumText, LargeText);
SEARCH_BENCHMARK(BM_Rn, Near, SmallText, LargeText);

} // namespace

int main(int argc, char **argv)
{
    NamedMedianReporter reporter;
    if (!runBenchmarks(argc, argv, reporter))
        return 2;

    bool withinLimits = true;
    for (const char *command : {"Fi", "Fn", "Rp", "Rn"}) {
        struct Check { const char *place; int small; double limit; const char *meaning; };
        for (const Check &check : {Check{"Far", MediumText, LinearLimit, "linear"},
                                   Check{"Near", SmallText, FlatLimit, "flat"}}) {
            const std::string name = std::string("BM_") + command + "/" + check.place + "/";
            const std::string small = name + std::to_string(check.small);
            const std::string large = name + std::to_string(LargeText);
            if (!reporter.cpuMedians.count(small) || !reporter.cpuMedians.count(large))
                continue;  // filtered out
            const double cpuRatio = reporter.cpuMedians[large] / reporter.cpuMedians[small];
            std::printf("%s %-4s %6d lines: %9.3f us (cpu %9.3f), %6d lines: %9.3f us (cpu %9.3f), "
                        "ratio %6.2f (cpu %6.2f, limit %.1f, %s)\n",
                        command, check.place, check.small, reporter.realMedians[small], reporter.cpuMedians[small],
                        LargeText, reporter.realMedians[large], reporter.cpuMedians[large],
                        reporter.realMedians[large] / reporter.realMedians[small], cpuRatio, check.limit,
                        check.meaning);
            withinLimits = withinLimits && cpuRatio <= check.limit;
        }
    }
    return withinLimits ? 0 : 1;
}
