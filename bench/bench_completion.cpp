// Ky, keyword suggestion with the program's own names, on a long game:
// 100,000 lines declaring 5,000 names, every one of which matches the word
// before the cursor. Timed as the user meets it: a character typed on the
// cursor line, then Ky (the word, the declared names brought up to date,
// the matching). Baselines in the same run: the same Ky on a 1,000-line
// program, and Ky on keywords alone (no names). Also shown: the first Ky
// on a text, which scans it whole.
//
//   bench_completion [--benchmark_repetitions=N]
//
// Prints the usual table, the medians (wall clock and CPU) and their
// ratios, and exits with status 1 when Ky on the long program takes more
// than one 60 Hz frame of CPU time (the steadier figure on a shared machine).

#include "app/installer.h"
#include "editor/completion.h"
#include "editor/declarednames.h"
#include "editor/wordbeforecursor.h"

#include "bench/namedmedians.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int ShortProgram = 1000;
constexpr int LongProgram = 100000;
constexpr double FrameMilliseconds = 1000.0 / 60.0;

// One line in forty declares a function with one parameter, so a program
// of n lines declares n / 20 names; the rest is ordinary code with calls,
// strings, comments and a multi-line comment now and then. The last line
// holds the cursor after "s", which begins every declared name.
QStringList program(int lines)
{
    QStringList code;
    code.reserve(lines);
    for (int i = 0; i < lines - 1; ++i) {
        const int k = i / 40;
        switch (i % 40) {
        case 0:
            code.append(QStringLiteral("function step_%1(size_%1){").arg(k));
            break;
        case 1:
            code.append(QStringLiteral("  spd = spd + size_%1 * 2; // speed up").arg(k));
            break;
        case 2:
            code.append(QStringLiteral("  print(\"step %1\", sprintf('%d', spd));").arg(k));
            break;
        case 3:
            code.append(QStringLiteral("  /* adjust"));
            break;
        case 4:
            code.append(QStringLiteral("     later */ if (spd > 10) { step_%1(spd - 1); }").arg(k));
            break;
        case 39:
            code.append(QStringLiteral("}"));
            break;
        default:
            code.append(QStringLiteral("  x[%1] = x[%1] + dx * spd; y[%1] += dy;").arg(i % 40));
            break;
        }
    }
    code.append(QStringLiteral("  s"));
    return code;
}

void BM_KyWithOwnNames(benchmark::State &state)
{
    QStringList code = program(int(state.range(0)));
    const QStringList keywords = quill::defaultKeywords();
    const int cursorLine = int(code.size()) - 1;
    quill::DeclaredNameIndex index;
    int wordLength = 0;
    quill::completeAtCursor(code, cursorLine, int(code.back().size()), keywords, index, wordLength);
    bool indented = false;
    for (auto _ : state) {
        state.PauseTiming();
        indented = !indented;  // the cursor line changes, the word stays "s"
        code[cursorLine] = indented ? QStringLiteral("   s") : QStringLiteral("  s");
        state.ResumeTiming();
        const quill::Completion completion =
            quill::completeAtCursor(code, cursorLine, int(code[cursorLine].size()), keywords, index, wordLength);
        if (completion.choices.size() != 26 + code.size() / 20)
            state.SkipWithError("unexpected matches");
        benchmark::DoNotOptimize(completion.choices.size());
    }
}

void BM_KyFirstOnText(benchmark::State &state)
{
    const QStringList code = program(int(state.range(0)));
    const QStringList keywords = quill::defaultKeywords();
    const int cursorLine = int(code.size()) - 1;
    for (auto _ : state) {
        quill::DeclaredNameIndex index;
        int wordLength = 0;
        const quill::Completion completion =
            quill::completeAtCursor(code, cursorLine, int(code.back().size()), keywords, index, wordLength);
        if (completion.choices.size() != 26 + code.size() / 20)
            state.SkipWithError("unexpected matches");
        benchmark::DoNotOptimize(completion.choices.size());
    }
}

void BM_KyKeywordsOnly(benchmark::State &state)
{
    const QStringList code = program(int(state.range(0)));
    const QStringList keywords = quill::defaultKeywords();
    const int cursorLine = int(code.size()) - 1;
    const int cursorColumn = int(code.back().size());
    for (auto _ : state) {
        const QString word = quill::WordBeforeCursor(code[cursorLine], cursorColumn);
        const quill::Completion completion = quill::CompleteWord(word, keywords);
        if (completion.choices.size() != 26)
            state.SkipWithError("unexpected matches");
        benchmark::DoNotOptimize(completion.choices.size());
    }
}

BENCHMARK(BM_KyWithOwnNames)
    ->Arg(ShortProgram)
    ->Arg(LongProgram)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_KyFirstOnText)
    ->Arg(LongProgram)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_KyKeywordsOnly)
    ->Arg(LongProgram)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    NamedMedianReporter reporter;
    if (!runBenchmarks(argc, argv, reporter))
        return 2;

    const std::string longKy = "BM_KyWithOwnNames/" + std::to_string(LongProgram);
    const std::string shortKy = "BM_KyWithOwnNames/" + std::to_string(ShortProgram);
    const std::string designedKy = "BM_KyKeywordsOnly/" + std::to_string(LongProgram);
    const std::string firstKy = "BM_KyFirstOnText/" + std::to_string(LongProgram);
    if (!reporter.cpuMedians.count(longKy))
        return 0;  // filtered out: nothing to compare
    auto show = [&](const char *what, const std::string &name) {
        if (!reporter.cpuMedians.count(name))
            return;
        std::printf("  %-42s %9.4f ms (cpu %9.4f ms)", what, reporter.realMedians[name], reporter.cpuMedians[name]);
        if (name != longKy)
            std::printf("  Ky with own names / this: %.1f (cpu %.1f)", reporter.realMedians[longKy] / reporter.realMedians[name],
                        reporter.cpuMedians[longKy] / reporter.cpuMedians[name]);
        std::printf("\n");
    };
    std::printf("Ky after typing, medians (budget %.1f ms, one 60 Hz frame):\n", FrameMilliseconds);
    show("100,000 lines, 5,000 own names", longKy);
    show("1,000 lines, 50 own names", shortKy);
    show("100,000 lines, keywords only (as designed)", designedKy);
    show("first Ky on the 100,000 lines (whole scan)", firstKy);
    return reporter.cpuMedians[longKy] <= FrameMilliseconds ? 0 : 1;
}
