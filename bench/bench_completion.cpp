// Ky, keyword suggestion with the program's own names, on a long game:
// 100,000 lines declaring 5,000 names, every one of which matches the word
// before the cursor. Timed as the user meets it: a character typed on the
// cursor line (not timed), then the Ky key through the command handler (the
// word, the declared names brought up to date, the matching, the list
// offered). Baselines in the same run: the same on a 1,000-line program, and
// Ky on keywords alone (the word and the keyword matches). Also
// shown: the first Ky on a text, which scans it whole.
//
//   bench_completion [--benchmark_repetitions=N]
//
// Prints the usual table, the medians (wall clock and CPU) and their
// ratios, and exits with status 1 when Ky on the long program takes more
// than one 60 Hz frame of CPU time (the steadier figure on a shared machine).

#include "app/installer.h"
#include "editor/choicecommands.h"
#include "editor/codebuffer.h"
#include "editor/completion.h"
#include "editor/editorchoices.h"
#include "editor/keyboardlayer.h"
#include "editor/keycommands.h"
#include "editor/windowstate.h"
#include "editor/wordbeforecursor.h"

#include "bench/namedmedians.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

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

// The editor as the window holds it, with a pick list that only keeps
// what it is offered.
struct Editor : quill::KeyboardLayer, quill::WindowState, quill::EditorChoices {
    explicit Editor(const QStringList &text)
    {
        buffer.loadLines(text);
        buffer.setCursor(int(text.size()) - 1, int(text.back().size()));
        commands.setChoiceCommands(&choices);
    }
    bool shiftState() const override { return false; }
    void setShiftState(bool) override {}
    Mode windowMode() const override { return Mode::Normal; }
    void setWindowMode(Mode) override {}
    void offerChoices(quill::PickMode, const QStringList &items) override { offered = items; }
    QString clipboardText() const override { return QString(); }
    void setClipboardText(const QString &) override {}

    QStringList keywords = quill::defaultKeywords();
    int spriteSize = 16;
    QStringList offered;
    quill::CodeBuffer buffer;
    quill::KeyCommands commands{buffer, *this, *this};
    quill::ChoiceCommands choices{buffer, *this, *this, keywords, spriteSize};
};

void BM_KyWithOwnNames(benchmark::State &state)
{
    Editor editor(program(int(state.range(0))));
    editor.commands.RunKeyCommand(QStringLiteral("Ky"));
    for (auto _ : state) {
        state.PauseTiming();
        editor.commands.RunKeyCommand(QStringLiteral("Hm"));
        editor.commands.RunKeyCommand(QStringLiteral(" "));  // the cursor line changes, the word stays "s"
        editor.commands.RunKeyCommand(QStringLiteral("En"));
        state.ResumeTiming();
        editor.commands.RunKeyCommand(QStringLiteral("Ky"));
        if (editor.offered.size() != 26 + editor.buffer.lineCount() / 20)
            state.SkipWithError("unexpected matches");
    }
}

void BM_KyFirstOnText(benchmark::State &state)
{
    const QStringList text = program(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<Editor>(text);
        state.ResumeTiming();
        editor->commands.RunKeyCommand(QStringLiteral("Ky"));
        if (editor->offered.size() != 26 + text.size() / 20)
            state.SkipWithError("unexpected matches");
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
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
    show("100,000 lines, keywords only", designedKy);
    show("first Ky on the 100,000 lines (whole scan)", firstKy);
    return reporter.cpuMedians[longKy] <= FrameMilliseconds ? 0 : 1;
}
