// The code editor's costs, each beside its baseline in the same run:
//  - a key command plus a repaint of the default 32 x 19 view, on a text of
//    1,000 and of 100,000 lines (budget: median at most 1 ms; typing and
//    cursor moves at most 1.5 times slower on the larger text);
//  - a repaint with a 1,000,000-character line in view against one with a
//    short line (at most 1.5 times);
//  - Open of a 10 MB code file against reading the same bytes, and Save of
//    it against writing them through the same atomic writer, both right
//    after Open and after every line was read (at most 2 times each);
//    reported beside them: Open with the first screen read, and Open with
//    every line read against the plain reader's lines;
//  - a keystroke (typing plus repaint) in a 1 MB program that also hands its
//    text to the recovery journal, while the journal's thread is busy writing
//    the previous snapshot, against the same keystroke with no journal at all
//    (budget: the median and the slowest of 2,000 keystrokes at most one
//    60 Hz frame, 16.7 ms, above the baseline's; the ratio is reported).
//
//   bench_editor [--benchmark_repetitions=N] [--benchmark_filter=REGEX]
//
// Prints the usual table, then every figure against its budget, and exits
// with status 1 when one is over.

#include "app/unsavedwork.h"
#include "base/messagesink.h"
#include "base/recoveryjournal.h"
#include "base/textfile.h"
#include "editor/codebuffer.h"
#include "editor/codefiles.h"
#include "editor/codepainter.h"
#include "editor/keyboardlayer.h"
#include "editor/keycommands.h"
#include "editor/windowstate.h"
#include "sprite/spritedocument.h"

#include "bench/medianreporter.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int ViewColumns = 32;
constexpr int ViewLines = 19;
constexpr int CellSize = 12;

class Keyboard : public quill::KeyboardLayer {
public:
    bool shiftState() const override { return false; }
    void setShiftState(bool) override {}
};

class Window : public quill::WindowState {
public:
    Mode windowMode() const override { return Mode::Normal; }
    void setWindowMode(Mode) override {}
};

QStringList programLines(int count)
{
    QStringList lines;
    lines.reserve(count);
    for (int i = 0; i < count; ++i)
        lines.append(QStringLiteral("  var x%1 = sprite(%1, 16, 'cat'); // step").arg(i));
    return lines;
}

QImage fontSheet()
{
    return QImage(QStringLiteral(QUILL_SOURCE_DIR "/assets/program/fontsheet.png"));
}

// One editor as the window holds it, painting into an image of the view's size.
struct Editor {
    explicit Editor(QStringList lines) : painter(fontSheet())
    {
        buffer.loadLines(std::move(lines));
        buffer.setViewSize(ViewColumns, ViewLines);
        buffer.setCursor(buffer.lineCount() / 2, 10);
        buffer.ScrollToCursor();
    }
    void repaint()
    {
        QPainter target(&view);
        painter.paint(target, buffer, CellSize, view.size());
    }

    quill::CodeBuffer buffer;
    Keyboard keyboard;
    Window window;
    quill::KeyCommands commands{buffer, keyboard, window};
    quill::CodePainter painter;
    QImage view{ViewColumns * CellSize, ViewLines * CellSize, QImage::Format_ARGB32_Premultiplied};
};

// Each iteration runs one command and repaints; the commands alternate with
// their inverse so that the text stays the same size however long it runs.
struct CommandPair {
    const char *name;
    const char *forward;
    const char *back;
};
constexpr CommandPair Pairs[] = {
    {"type", "a", "Bs"},
    {"right", "->", "<-"},
    {"down", "vv", "^^"},
    {"enter", "Rt", "Bs"},
};

void BM_KeyCommandAndRepaint(benchmark::State &state)
{
    const CommandPair &pair = Pairs[state.range(1)];
    Editor editor(programLines(int(state.range(0))));
    const QString forward = QString::fromLatin1(pair.forward);
    const QString back = QString::fromLatin1(pair.back);
    const quill::CodeText before = editor.buffer.text();
    const int line = editor.buffer.cursorLine();
    const int column = editor.buffer.cursorColumn();
    bool forwardNext = true;
    for (auto _ : state) {
        editor.commands.RunKeyCommand(forwardNext ? forward : back);
        editor.repaint();
        forwardNext = !forwardNext;
    }
    // Every command was undone by its inverse: the same text, the same place.
    if (!forwardNext)
        editor.commands.RunKeyCommand(back);
    if (editor.buffer.text() != before || editor.buffer.cursorLine() != line
        || editor.buffer.cursorColumn() != column)
        state.SkipWithError("the commands did not come back to the text they began with");
    state.SetLabel(pair.name);
}
BENCHMARK(BM_KeyCommandAndRepaint)
    ->ArgsProduct({{1000, 100000}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// Repaint with a line of the given length in view.
void BM_RepaintLine(benchmark::State &state)
{
    QStringList lines = programLines(40);
    lines[20] = QString(int(state.range(0)), u'w');
    Editor editor(lines);
    // The cursor at the start of the line: the same cells are in view
    // whatever the line's length, and every other line shows as well.
    editor.buffer.setCursor(20, 0);
    editor.buffer.ScrollToCursor();
    editor.view.fill(Qt::transparent);
    for (auto _ : state)
        editor.repaint();
    // The long line's first cells were drawn: its row is not all one colour.
    const int row = (20 - editor.buffer.topLine()) * CellSize;
    bool drawn = false;
    for (int y = row; y < row + CellSize && !drawn; ++y)
        for (int x = 0; x < editor.view.width() && !drawn; ++x)
            drawn = editor.view.pixel(x, y) != editor.view.pixel(0, row);
    if (!drawn)
        state.SkipWithError("the line in view was not painted");
}
BENCHMARK(BM_RepaintLine)->Arg(20)->Arg(1000000)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// A 10 MB code file in a temporary code directory, made once.
struct CodeFile {
    CodeFile()
    {
        while (bytes.size() < 10 * 1024 * 1024) {
            lines = programLines(int(lines.size()) + 20000);
            bytes = quill::encodeText(lines, quill::TextEncoding::Local8Bit);
        }
        for (const QString &line : lines)
            characters += line.size();
        quill::writeBinaryFile(dir.path() + "/big", bytes);
    }
    QString path() const { return dir.path() + "/big"; }
    QString codeDir() const { return dir.path() + "/"; }
    QTemporaryDir dir;
    QStringList lines;
    qsizetype characters = 0;
    QByteArray bytes;
};

CodeFile &codeFile()
{
    static CodeFile file;
    return file;
}

void BM_ReadBytes(benchmark::State &state)
{
    CodeFile &file = codeFile();
    QByteArray read;
    for (auto _ : state) {
        QFile in(file.path());
        if (!in.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot open");
        read = in.readAll();
        benchmark::DoNotOptimize(read.data());
    }
    if (read != file.bytes)
        state.SkipWithError("the bytes read differ from the file's");
}
BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// Reading the same file as lines of text, with the plain reader.
void BM_ReadTextFile(benchmark::State &state)
{
    CodeFile &file = codeFile();
    qsizetype lines = 0;
    for (auto _ : state) {
        const quill::TextFileContent content = quill::readTextFile(file.path());
        lines = content.lines.size();
        benchmark::DoNotOptimize(lines);
    }
    if (lines != file.lines.size())
        state.SkipWithError("wrong number of lines");
}
BENCHMARK(BM_ReadTextFile)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The text Open made is the file's: every line is looked at, after the clock.
bool holdsTheFile(const quill::CodeBuffer &buffer, const CodeFile &file)
{
    if (buffer.lineCount() != file.lines.size())
        return false;
    for (int line = 0; line < buffer.lineCount(); ++line)
        if (buffer.line(line) != file.lines[line])
            return false;
    return true;
}

void BM_Open(benchmark::State &state)
{
    CodeFile &file = codeFile();
    quill::CodeBuffer buffer;
    quill::CodeFiles files(file.codeDir());
    for (auto _ : state)
        files.open(QStringLiteral("big"), buffer);
    if (!holdsTheFile(buffer, file))
        state.SkipWithError("Open made another text");
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// Open followed by what the code view reads of the first screen, and by the
// first command that reads every line (a search to the end, say): the lines
// of a block are decoded when first read.
void BM_OpenAndShow(benchmark::State &state)
{
    CodeFile &file = codeFile();
    quill::CodeBuffer buffer;
    quill::CodeFiles files(file.codeDir());
    qsizetype characters = 0;
    for (auto _ : state) {
        files.open(QStringLiteral("big"), buffer);
        characters = 0;
        for (int line = 0; line < buffer.visibleLines(); ++line)
            characters += buffer.line(line).size();
        benchmark::DoNotOptimize(characters);
    }
    qsizetype expected = 0;
    for (int line = 0; line < buffer.visibleLines(); ++line)
        expected += file.lines[line].size();
    if (characters != expected)
        state.SkipWithError("the first screen differs from the file's");
}
BENCHMARK(BM_OpenAndShow)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_OpenAndReadEveryLine(benchmark::State &state)
{
    CodeFile &file = codeFile();
    quill::CodeBuffer buffer;
    quill::CodeFiles files(file.codeDir());
    qsizetype characters = 0;
    for (auto _ : state) {
        files.open(QStringLiteral("big"), buffer);
        characters = 0;
        for (const QString &line : buffer.text())
            characters += line.size();
        benchmark::DoNotOptimize(characters);
    }
    if (characters != file.characters || !holdsTheFile(buffer, file))
        state.SkipWithError("the lines read differ from the file's");
}
BENCHMARK(BM_OpenAndReadEveryLine)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The baseline of Save: the same bytes through the same atomic writer.
void BM_WriteBytes(benchmark::State &state)
{
    CodeFile &file = codeFile();
    for (auto _ : state)
        quill::writeBinaryFile(file.codeDir() + "copy", file.bytes);
    if (quill::readBinaryFile(file.codeDir() + "copy") != file.bytes)
        state.SkipWithError("the bytes written differ");
}
BENCHMARK(BM_WriteBytes)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

class YesSink : public quill::MessageSink {
public:
    void showMessage(const QString &) override {}
    bool askQuestion(const QString &) override { return true; }
};

// Save of the opened text, right after Open (range 0: no line read yet) and
// after every line was read (range 1), as a search, Ky or Run does first.
// The file is written CR LF throughout, so Save writes the same bytes back.
void BM_Save(benchmark::State &state)
{
    CodeFile &file = codeFile();
    quill::CodeBuffer buffer;
    quill::CodeFiles files(file.codeDir());
    files.open(QStringLiteral("big"), buffer);
    if (state.range(0) == 1) {
        qsizetype characters = 0;
        for (const QString &line : buffer.text())
            characters += line.size();
        if (characters != file.characters)
            state.SkipWithError("the lines read differ from the file's");
    }
    YesSink answers;  // "copy" is replaced again and again
    for (auto _ : state)
        files.save(QStringLiteral("copy"), buffer, answers);
    if (quill::readBinaryFile(file.codeDir() + "copy") != file.bytes)
        state.SkipWithError("Save wrote other bytes than the file's");
    state.SetLabel(state.range(0) == 0 ? "right after Open" : "after reading every line");
}
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// A program of about one megabyte, as the journal's keystroke measures use.
QStringList megabyteProgram()
{
    return programLines(1024 * 1024 / 44);
}

class SilentSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
};

// Typing into a 1 MB program with the text handed to the journal after every
// keystroke (the window does it at most once a second): the copy and the
// hand-over are all the keystroke pays; encoding and writing run on the
// journal's thread, which is kept busy throughout.
void BM_KeystrokeWithJournal(benchmark::State &state)
{
    QTemporaryDir state_dir;
    SilentSink sink;
    quill::UnsavedWork work(state_dir.path() + "/journal/", sink);
    quill::SpriteDocument sprite(16);
    Editor editor(megabyteProgram());
    editor.buffer.setCodeModified(true);
    bool forwardNext = true;
    for (auto _ : state) {
        editor.commands.RunKeyCommand(forwardNext ? QStringLiteral("a") : QStringLiteral("Bs"));
        editor.repaint();
        work.checkpoint(editor.buffer, sprite);
        forwardNext = !forwardNext;
    }
    work.flush();
    // The journal holds the text as the last keystroke left it.
    const quill::RecoveryJournal::Contents held = quill::RecoveryJournal(work.folder()).read();
    const bool holdsText = !held.entries.empty()
        && held.entries.front().entry.value("text") == editor.buffer.text().encoded(quill::TextEncoding::Local8Bit);
    if (!holdsText)
        state.SkipWithError("the journal does not hold the text");
}
BENCHMARK(BM_KeystrokeWithJournal)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The baseline: the same keystrokes in the same program, no journal.
void BM_KeystrokeWithoutJournal(benchmark::State &state)
{
    Editor editor(megabyteProgram());
    const quill::CodeText before = editor.buffer.text();
    bool forwardNext = true;
    for (auto _ : state) {
        editor.commands.RunKeyCommand(forwardNext ? QStringLiteral("a") : QStringLiteral("Bs"));
        editor.repaint();
        forwardNext = !forwardNext;
    }
    if (!forwardNext)
        editor.commands.RunKeyCommand(QStringLiteral("Bs"));
    if (editor.buffer.text() != before)
        state.SkipWithError("the keystrokes did not come back to the text they began with");
}
BENCHMARK(BM_KeystrokeWithoutJournal)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// What the journal's thread spends on one snapshot of the 1 MB program:
// making the entry's bytes and writing them with fsync (reported).
void BM_JournalWriteOfAMegabyte(benchmark::State &state)
{
    QTemporaryDir state_dir;
    quill::RecoveryJournal journal(state_dir.path() + "/journal/");
    quill::CodeBuffer buffer;
    buffer.loadLines(megabyteProgram());
    const QByteArray bytes = buffer.text().encoded(quill::TextEncoding::Local8Bit);
    for (auto _ : state)
        journal.write(QStringLiteral("code"), {{"text", buffer.text().encoded(quill::TextEncoding::Local8Bit)}});
    const quill::RecoveryJournal::Contents held = journal.read();
    if (held.entries.size() != 1 || held.entries.front().entry.value("text") != bytes)
        state.SkipWithError("the journal does not hold the text");
}
BENCHMARK(BM_JournalWriteOfAMegabyte)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

struct KeystrokeTimes {
    double median = 0;
    double slowest = 0;
};

// Each of `count` keystrokes timed on its own, for the slowest one.
KeystrokeTimes timeKeystrokes(int count, bool journal)
{
    QTemporaryDir state_dir;
    SilentSink sink;
    quill::UnsavedWork work(state_dir.path() + "/journal/", sink);
    quill::SpriteDocument sprite(16);
    Editor editor(megabyteProgram());
    editor.buffer.setCodeModified(true);
    std::vector<double> times;
    times.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        QElapsedTimer clock;
        clock.start();
        editor.commands.RunKeyCommand(i % 2 == 0 ? QStringLiteral("a") : QStringLiteral("Bs"));
        editor.repaint();
        if (journal)
            work.checkpoint(editor.buffer, sprite);
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    work.flush();
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

double medianOf(const MedianReporter &reporter, const std::string &name)
{
    const auto found = reporter.mediansByName.find(name);
    return found == reporter.mediansByName.end() ? -1 : found->second;
}

} // namespace

int main(int argc, char **argv)
{
    // The journal tells its outcomes through the event loop.
    QCoreApplication application(argc, argv);
    MedianReporter reporter;
    if (!runBenchmarks(argc, argv, reporter))
        return 2;

    bool withinBudget = true;
    // Every figure given is printed, a negative difference (the journal's
    // side the quicker) included; missing ones are left out by the callers.
    const auto check = [&](const char *what, double value, double budget, const char *unit) {
        const bool ok = value <= budget;
        withinBudget = withinBudget && ok;
        std::printf("%-44s %10.3f %-3s (budget %.3g) %s\n", what, value, unit, budget, ok ? "ok" : "OVER");
    };
    std::printf("\n");
    for (int pair = 0; pair < 4; ++pair) {
        const std::string args = "/" + std::to_string(pair);
        const double small = medianOf(reporter, "BM_KeyCommandAndRepaint/1000" + args);
        const double large = medianOf(reporter, "BM_KeyCommandAndRepaint/100000" + args);
        const std::string name = Pairs[pair].name;
        if (large > 0)
            check(("key + repaint, " + name + ", 100,000 lines").c_str(), large, 1000.0, "us");
        if (small > 0 && large > 0) {
            const std::string what = "  100,000 / 1,000 lines, " + name;
            // Enter and Backspace move lines: their ratio is reported, not held to 1.5.
            if (pair < 3)
                check(what.c_str(), large / small, 1.5, "x");
            else
                std::printf("%-44s %10.3f x   (reported)\n", what.c_str(), large / small);
        }
    }
    const auto ratio = [&](const char *what, const std::string &measured, const std::string &baseline,
                           double budget) {
        const double value = medianOf(reporter, measured);
        const double base = medianOf(reporter, baseline);
        if (value > 0 && base > 0)
            check(what, value / base, budget, "x");
    };
    ratio("repaint, 1,000,000-char line / short line", "BM_RepaintLine/1000000", "BM_RepaintLine/20", 1.5);
    ratio("open 10 MB / read the bytes", "BM_Open/", "BM_ReadBytes/", 2.0);
    ratio("save 10 MB right after Open / write atomically", "BM_Save/0", "BM_WriteBytes/", 2.0);
    ratio("save 10 MB, every line read / write atomically", "BM_Save/1", "BM_WriteBytes/", 2.0);
    const double open = medianOf(reporter, "BM_Open/");
    const double lines = medianOf(reporter, "BM_ReadTextFile/");
    const double bytes = medianOf(reporter, "BM_ReadBytes/");
    if (open > 0 && lines > 0)
        std::printf("%-44s %10.3f x   (reported)\n", "open 10 MB / read it as lines of text", open / lines);
    const double shown = medianOf(reporter, "BM_OpenAndShow/");
    const double everyLine = medianOf(reporter, "BM_OpenAndReadEveryLine/");
    if (shown > 0 && bytes > 0)
        std::printf("%-44s %10.3f x   (reported)\n", "open 10 MB and show it / read the bytes", shown / bytes);
    if (everyLine > 0 && lines > 0)
        std::printf("%-44s %10.3f x   (reported)\n", "open and read every line / read as lines", everyLine / lines);

    const double withJournal = medianOf(reporter, "BM_KeystrokeWithJournal/");
    const double withoutJournal = medianOf(reporter, "BM_KeystrokeWithoutJournal/");
    if (withJournal > 0 && withoutJournal > 0) {
        constexpr double Frame = 16.7;
        check("keystroke, 1 MB program, journal: added", (withJournal - withoutJournal) / 1000.0, Frame, "ms");
        std::printf("%-44s %10.3f x   (reported)\n", "  with journal / without", withJournal / withoutJournal);
        const KeystrokeTimes alone = timeKeystrokes(2000, false);
        const KeystrokeTimes journaled = timeKeystrokes(2000, true);
        std::printf("%-44s %10.3f ms  median, %.3f ms slowest\n", "  2,000 keystrokes without journal", alone.median,
                    alone.slowest);
        std::printf("%-44s %10.3f ms  median, %.3f ms slowest\n", "  2,000 keystrokes with journal", journaled.median,
                    journaled.slowest);
        check("  slowest with journal - slowest without", journaled.slowest - alone.slowest, Frame, "ms");
    }
    const double write = medianOf(reporter, "BM_JournalWriteOfAMegabyte/");
    if (write > 0)
        std::printf("%-44s %10.3f ms  (reported, on the journal's thread)\n", "journal write of 1 MB", write);
    return withinBudget ? 0 : 1;
}
