// Page generation time against program size. A program ten times longer must
// take at most twelve times as long: every step of the generator is meant to
// be linear in the number of lines, includes and sprite frames.
//
//   bench_generator [--benchmark_repetitions=N]
//
// Prints the usual table, then the ratio of the medians of the two sizes, and
// exits with status 1 when the ratio is above the limit.

#include "base/messagesink.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "builder/pagegenerator.h"

#include "bench/medianreporter.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

constexpr int SmallProgram = 20000;
constexpr int LargeProgram = 200000;
constexpr double RatioLimit = 11.0;

class DiscardedMessages : public quill::MessageSink {
public:
    void showMessage(const QString &) override {}
};

// A workspace with a template shaped like the real one (the code in the
// middle of a page of a few hundred lines) and two nested include files.
struct BenchWorkspace {
    BenchWorkspace()
    {
        paths = quill::WorkspacePaths::fromBaseDir(dir.path() + "/");
        QDir().mkpath(paths.codeDir);
        QDir().mkpath(paths.scriptDir);
        QStringList page = {"<html><head><title>QuillIDE - ##appname##</title>", "##addon##",
                            "<script>Stage(function(stage){"};
        for (int i = 0; i < 300; ++i)
            page.append(QStringLiteral("function helper%1(a,b){ return a*%1+b; }").arg(i));
        page += QStringList{"//--- user routine", "##user##", "init();});",
                            "</script></head><body></body></html>"};
        quill::writeTextFile(paths.scriptDir + "tmp_main.html", page);
        quill::writeTextFile(paths.codeDir + "shapes",
                             {"var shapeCount = 0;", "include leaf", "function shape(k){ shapeCount += k; }",
                              "sprite(90,'shape',2);", "// shapes end"});
        quill::writeTextFile(paths.codeDir + "leaf",
                             {"var leafCount = 0;", "sprite(91,'leaf',4,16,16,1);", "// leaf end"});
    }

    QTemporaryDir dir;
    quill::WorkspacePaths paths;
};

// Every tenth line declares a sprite, every hundredth includes a file that
// itself includes another; the rest is ordinary code with the odd sound,
// text and drawing call.
QStringList program(int lines)
{
    QStringList code;
    code.reserve(lines);
    for (int i = 0; i < lines; ++i) {
        if (i % 10 == 0)
            code.append(QStringLiteral("sprite(%1,'img%1',4,16,16,1);").arg(i / 10));
        else if (i % 100 == 5)
            code.append(QStringLiteral("include shapes"));
        else if (i % 100 == 7)
            code.append(QStringLiteral("sndload(%1,'snd%1',2);").arg(i));
        else if (i % 100 == 9)
            code.append(QStringLiteral("print(sprintf('%d',score%1)); bgbegin(); bgend();").arg(i));
        else
            code.append(QStringLiteral("  var value%1 = value%2 * 3 + 1; // step %1").arg(i).arg(i - 1));
    }
    return code;
}

void BM_GeneratePage(benchmark::State &state)
{
    BenchWorkspace workspace;
    const QStringList code = program(int(state.range(0)));
    DiscardedMessages messages;
    for (auto _ : state) {
        const quill::GeneratedPage page =
            quill::generatePage(code, QStringLiteral("bench"), workspace.paths, messages);
        if (!page.written)
            state.SkipWithError("page not written");
        benchmark::DoNotOptimize(page.pageText.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_GeneratePage)
    ->Arg(SmallProgram)
    ->Arg(LargeProgram)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    MedianReporter reporter;
    if (!runBenchmarks(argc, argv, reporter))
        return 2;

    const auto small = reporter.medians.find(std::to_string(SmallProgram));
    const auto large = reporter.medians.find(std::to_string(LargeProgram));
    if (small == reporter.medians.end() || large == reporter.medians.end())
        return 0;  // filtered out: nothing to compare
    const double ratio = large->second / small->second;
    std::printf("median %d lines: %.3f ms, %d lines: %.3f ms, ratio %.2f (limit %.0f)\n", SmallProgram,
                small->second, LargeProgram, large->second, ratio, RatioLimit);
    return ratio <= RatioLimit ? 0 : 1;
}
