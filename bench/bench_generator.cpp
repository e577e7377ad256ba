// Page generation time against program size. A program ten times longer must
// take at most eleven times as long: every step of the generator is meant to
// be linear in the number of lines, includes and sprite frames.
//
//   bench_generator [--benchmark_filter=...]
//
// Each generation is timed after the caches were flushed, as a Run meets
// them; the same back to back (the smaller program and its page then stay in
// the cache) is reported beside it. Prints the usual table, then the ratio of
// the medians of the two sizes for each, and exits with status 1 when the
// ratio after flushed caches is above the limit.

#include "base/messagesink.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "builder/pagegenerator.h"

#include "bench/medianreporter.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include <unistd.h>
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
// text and drawing call. Numbers are written six digits wide, so that the
// larger program is ten times the lines of the smaller one, each of the same
// length, rather than longer lines too.
QStringList program(int lines)
{
    const auto number = [](int n) { return QStringLiteral("%1").arg(n, 6, 10, QLatin1Char('0')); };
    QStringList code;
    code.reserve(lines);
    for (int i = 0; i < lines; ++i) {
        if (i % 10 == 0)
            code.append(QStringLiteral("sprite(%1,'img%1',4,16,16,1);").arg(number(i / 10)));
        else if (i % 100 == 5)
            code.append(QStringLiteral("include shapes"));
        else if (i % 100 == 7)
            code.append(QStringLiteral("sndload(%1,'snd%1',2);").arg(number(i)));
        else if (i % 100 == 9)
            code.append(QStringLiteral("print(sprintf('%d',score%1)); bgbegin(); bgend();").arg(number(i)));
        else
            code.append(QStringLiteral("  var value%1 = value%2 * 3 + 1; // step %1").arg(number(i), number(i - 1)));
    }
    return code;
}

// Writes through a buffer twice the size of the last-level cache, so that
// nothing of the program or of the last page is left in any cache.
class CacheFlusher {
public:
    CacheFlusher()
    {
        constexpr long Fallback = 256L << 20;
        constexpr long Most = 1L << 30;
        const long lastLevel = std::max({sysconf(_SC_LEVEL2_CACHE_SIZE), sysconf(_SC_LEVEL3_CACHE_SIZE),
                                         sysconf(_SC_LEVEL4_CACHE_SIZE)});
        buffer_.assign(std::size_t(lastLevel > 0 ? std::min(2 * lastLevel, Most) : Fallback), 0);
    }

    void flush()
    {
        for (std::size_t i = 0; i < buffer_.size(); i += 64)
            ++buffer_[i];
        benchmark::DoNotOptimize(buffer_.data());
    }

private:
    std::vector<char> buffer_;
};

// Generates the page of a program of state.range(0) lines again and again;
// with caches, flushes them before every generation, outside the time.
void generatePages(benchmark::State &state, CacheFlusher *caches)
{
    BenchWorkspace workspace;
    const QStringList code = program(int(state.range(0)));
    DiscardedMessages messages;
    for (auto _ : state) {
        if (caches) {
            state.PauseTiming();
            caches->flush();
            state.ResumeTiming();
        }
        const quill::GeneratedPage page =
            quill::generatePage(code, QStringLiteral("bench"), workspace.paths, messages);
        if (!page.written)
            state.SkipWithError("page not written");
        benchmark::DoNotOptimize(page.pagePieces.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One page generation after another, as fast as they go: the smaller
// program and its page stay in the cache from one to the next.
void BM_GeneratePageBackToBack(benchmark::State &state)
{
    generatePages(state, nullptr);
}

// What Run meets: the program has sat in memory while the user typed, and
// the caches hold other things.
void BM_GeneratePage(benchmark::State &state)
{
    static CacheFlusher caches;
    generatePages(state, &caches);
}

BENCHMARK(BM_GeneratePage)
    ->Arg(SmallProgram)
    ->Arg(LargeProgram)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_GeneratePageBackToBack)
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

    const auto ratioOf = [&](const std::string &name) -> std::optional<double> {
        const auto small = reporter.mediansByName.find(name + "/" + std::to_string(SmallProgram));
        const auto large = reporter.mediansByName.find(name + "/" + std::to_string(LargeProgram));
        if (small == reporter.mediansByName.end() || large == reporter.mediansByName.end())
            return std::nullopt;  // filtered out: nothing to compare
        const double ratio = large->second / small->second;
        std::printf("%s: median %d lines: %.3f ms, %d lines: %.3f ms, ratio %.2f\n", name.c_str(), SmallProgram,
                    small->second, LargeProgram, large->second, ratio);
        return ratio;
    };
    const std::optional<double> ratio = ratioOf("BM_GeneratePage");
    ratioOf("BM_GeneratePageBackToBack");
    if (!ratio)
        return 0;
    std::printf("ratio after flushed caches %.2f (limit %.0f)\n", *ratio, RatioLimit);
    return *ratio <= RatioLimit ? 0 : 1;
}
