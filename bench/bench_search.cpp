// Find and replace steps against the size of the text. A step that must scan
// to the end of the text may grow with it (ten times the lines at most
// twelve times the time: linear); a step that finds its match a few lines
// below the cursor must not (a hundred times the lines at most twice the
// time: flat).
//
//   bench_search [--benchmark_repetitions=N]
//
// Prints the usual table, then per command the ratios of the medians, and
// exits with status 1 when a ratio is above its limit.

#include "editor/findreplace.h"

#include "bench/medianreporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr int SmallText = 1000;
constexpr int MediumText = 10000;
constexpr int LargeText = 100000;
constexpr double LinearLimit = 12.0;
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
        code = text(lines);
        cursorLine = place == Place::Far ? 0 : lines / 2;
        const int matchLine = place == Place::Far ? lines - 1 : cursorLine + 3;
        code[matchLine] = QStringLiteral("  move(target, target + 1);");
        code[cursorLine] = QStringLiteral("x = ") + request;
        cursorColumn = int(code[cursorLine].size());
    }
    QStringList code;
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
        if (!change || change->cursorLine == scene.cursorLine)
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
    MedianReporter reporter;
    if (!runBenchmarks(argc, argv, reporter))
        return 2;

    bool withinLimits = true;
    for (const char *command : {"Fi", "Fn", "Rp", "Rn"}) {
        struct Check { const char *place; int small; double limit; const char *meaning; };
        for (const Check &check : {Check{"Far", MediumText, LinearLimit, "linear"},
                                   Check{"Near", SmallText, FlatLimit, "flat"}}) {
            const std::string name = std::string("BM_") + command + "/" + check.place;
            const auto small = reporter.mediansByName.find(name + "/" + std::to_string(check.small));
            const auto large = reporter.mediansByName.find(name + "/" + std::to_string(LargeText));
            if (small == reporter.mediansByName.end() || large == reporter.mediansByName.end())
                continue;  // filtered out
            const double ratio = large->second / small->second;
            std::printf("%s %-4s %6d lines: %9.3f us, %6d lines: %9.3f us, ratio %6.2f (limit %.0f, %s)\n",
                        command, check.place, check.small, small->second, LargeText, large->second, ratio,
                        check.limit, check.meaning);
            withinLimits = withinLimits && ratio <= check.limit;
        }
    }
    return withinLimits ? 0 : 1;
}
