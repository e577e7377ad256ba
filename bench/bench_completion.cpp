// Ky, keyword suggestion with the program's own names, on a long game:
// 100,000 lines declaring 5,000 names, every one of which matches the word
// before the cursor. Timed as the user meets it: a character typed on the
// cursor line (not timed), then the Ky key through the command handler (the
// word, the declared names brought up to date, the matching, the list
// offered). Baselines in the same run: the same on a 1,000-line program, and
// Ky on keywords alone (the word and the keyword matches). The first Ky on
// a text, which finds every name it declares, is timed on the program just
// opened from its file (held to the same frame) and on one made of lines
// already in memory.
//
//   bench_completion [--benchmark_repetitions=N]
//
// Prints the usual table, the medians (wall clock and CPU) and their
// ratios, and exits with status 1 when Ky on the long program, or the first
// Ky on it freshly opened, takes more than one 60 Hz frame of CPU time (the
// steadier figure on a shared machine).

#include "app/installer.h"
#include "base/textfile.h"
#include "editor/choicecommands.h"
#include "editor/codebuffer.h"
#include "editor/codefiles.h"
#include "editor/completion.h"
#include "editor/editorchoices.h"
#include "editor/keyboardlayer.h"
#include "editor/keycommands.h"
#include "editor/windowstate.h"
#include "editor/wordbeforecursor.h"

#include "bench/namedmedians.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

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
    Editor() { commands.setChoiceCommands(&choices); }
    explicit Editor(const QStringList &text) : Editor()
    {
        buffer.loadLines(text);
        cursorToEnd();
    }
    void cursorToEnd()
    {
        const int last = buffer.lineCount() - 1;
        buffer.setCursor(last, int(buffer.line(last).size()));
    }
    bool shiftState() const override { return false; }
    void setShiftState(bool) override {}
    Mode windowMode() const override { return Mode::Normal; }
    void setWindowMode(Mode) override {}
    void offerChoices(quill::PickMode, const QStringList &items) override { offered = items; }
    QString clipboardText() const override { return QString(); }
    void setClipboardText(const QString &) override {}
    QStringList keywords() const override { return keywordList; }
    int spriteSize() const override { return 16; }

    QStringList keywordList = quill::defaultKeywords();
    QStringList offered;
    quill::CodeBuffer buffer;
    quill::KeyCommands commands{buffer, *this, *this};
    quill::ChoiceCommands choices{buffer, *this, *this};
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

// The long program in a code file of its own, as Open finds it.
struct ProgramFile {
    ProgramFile() { quill::writeTextFile(dir.path() + "/game", program(LongProgram)); }
    QTemporaryDir dir;
};

// Open, then at once the first Ky at the end of the text: before the clock
// only the last block of lines was read (for the cursor), so it sees all
// that the first Ky costs on a text that was never read.
void BM_KyFirstAfterOpen(benchmark::State &state)
{
    static ProgramFile file;
    quill::CodeFiles files(file.dir.path() + "/");
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<Editor>();
        files.open(QStringLiteral("game"), editor->buffer);
        editor->cursorToEnd();
        state.ResumeTiming();
        editor->commands.RunKeyCommand(QStringLiteral("Ky"));
        if (editor->offered.size() != 26 + LongProgram / 20)
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
BENCHMARK(BM_KyFirstAfterOpen)
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
    const std::string openedKy = "BM_KyFirstAfterOpen/" + std::to_string(LongProgram);
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
    show("first Ky, 100,000 lines just opened", openedKy);
    show("first Ky, 100,000 lines in memory", firstKy);
    bool withinBudget = reporter.cpuMedians[longKy] <= FrameMilliseconds;
    for (const std::string &first : {openedKy, firstKy})
        if (reporter.cpuMedians.count(first))
            withinBudget = withinBudget && reporter.cpuMedians[first] <= FrameMilliseconds;
    std::printf("%s\n", withinBudget ? "within budget" : "OVER budget");
    return withinBudget ? 0 : 1;
}
