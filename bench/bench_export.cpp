// Export's archive step, its self-contained page and page generation for the
// supplied samples.
//
//   bench_export [--benchmark_repetitions=N]   (default 15 repetitions, interleaved)
//
// Archive: the cat sample's page and resources read, packed and written as
// Export does (the page already generated), against the same files read,
// deflated in this process by zlib at the same level (6) with their CRC-32s,
// and the deflated bytes written the same way (a temporary file renamed over
// the target, then the file and its folder synced to disk); budget 1.3
// times. `zip -q -6` of the same files into
// a fresh archive is a secondary line: its time carries a process start and
// no disk sync, so it has no budget; the archive stays within 2% of its
// size. One-file page: the cat sample's self-contained page written as
// Export writes it beside the archive, against the archive step; budget 2 times. Generation: generatePage
// of each sample, budget 5 ms. Exits with status 1 when a budget is missed.

#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "app/installer.h"
#include "builder/exportprogram.h"
#include "builder/pagegenerator.h"

#include "bench/medianreporter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/wait.h>

extern char **environ;

namespace {

constexpr double ArchiveRatioLimit = 1.3;
constexpr double PageRatioLimit = 2.0;
constexpr double SizeTolerance = 0.02;
constexpr double GenerationLimitMs = 5.0;

class DiscardedMessages : public quill::MessageSink {
public:
    void showMessage(const QString &) override {}
};

struct Sample {
    Sample()
    {
        paths = quill::WorkspacePaths::fromBaseDir(workspace.path() + "/");
        quill::SettingsStore settings;
        QStringList keywords;
        quill::installWorkspace(paths, settings, keywords, 384, QString());
        code = quill::readTextFile(paths.codeDir + "cat_sample").lines;
        code3D = quill::readTextFile(paths.codeDir + "3d_sample").lines;
        DiscardedMessages messages;
        const quill::GeneratedPage page = quill::generatePage(code, "cat", paths, messages);
        resources = page.resources;
        parts = page.parts;
        exportDir = out.path();
        // The cat page kept apart: the generation benchmark writes the
        // workspace's page again, with the other sample too, between the
        // interleaved repetitions.
        catPage = paths.baseDir + CatPageName;
        QFile::copy(paths.pagePath, catPage);
    }
    static constexpr const char *CatPageName = "catpage.html";
    quill::ExportRequest request() const
    {
        return {"cat", catPage, resources, paths.baseDir, exportDir, QString(), parts};
    }
    QTemporaryDir workspace;
    QTemporaryDir out;
    quill::WorkspacePaths paths;
    QStringList code;
    QStringList code3D;
    QStringList resources;
    quill::PageParts parts;
    QString exportDir;
    QString catPage;
    qint64 deflatedSize = 0;
};

Sample &sample()
{
    static Sample instance;
    return instance;
}

// The archive step of Export: read, pack, write the archive.
void BM_ExportArchive(benchmark::State &state)
{
    Sample &s = sample();
    const quill::ExportRequest request = s.request();
    const QString archive = s.exportDir + "/cat.zip";
    for (auto _ : state)
        quill::packArchive(request, archive);
}
BENCHMARK(BM_ExportArchive)->Unit(benchmark::kMillisecond)->UseRealTime();

// The page step of Export: the self-contained page beside the archive.
void BM_SinglePage(benchmark::State &state)
{
    Sample &s = sample();
    const quill::ExportRequest request = s.request();
    const QString path = s.exportDir + "/cat.html";
    for (auto _ : state) {
        quill::PendingFile page(path);
        quill::writeSinglePageTo(request, page);
        page.commit();
    }
}
BENCHMARK(BM_SinglePage)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline of the archive step: the same files read as Export reads
// them, each deflated by zlib at level 6 as a raw stream (a zip member's
// form) with its CRC-32, and the deflated bytes written as the archive is.
// (Export streams each file into the archive; reading each whole here costs
// the baseline a copy at most.)
QByteArray deflateRaw(const QByteArray &bytes)
{
    z_stream stream{};
    if (deflateInit2(&stream, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(int(deflateBound(&stream, uLong(bytes.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(status == Z_STREAM_END ? int(stream.total_out) : 0);
    deflateEnd(&stream);
    return out;
}

// Written as the archive is: under a temporary name beside the target,
// renamed over it, then the file and its folder synced to disk.
bool writeLikeTheArchive(const QString &path, const QByteArray &bytes)
{
    const QString staged = path + QStringLiteral(".part");
    {
        QFile file(staged);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            return false;
    }
    if (::rename(QFile::encodeName(staged).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    for (const QString &synced : {path, QFileInfo(path).absolutePath()}) {
        const int fd = ::open(QFile::encodeName(synced).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

void BM_DeflateInProcess(benchmark::State &state)
{
    Sample &s = sample();
    const quill::ExportRequest request = s.request();
    const QString target = s.exportDir + "/deflated.bin";
    for (auto _ : state) {
        QByteArray deflated;
        uLong crc = 0;
        for (const quill::ExportEntry &entry : quill::exportEntries(
                 request.programName, request.pagePath, request.resources, request.baseDir)) {
            QFile file(entry.sourcePath);
            if (!file.open(QIODevice::ReadOnly)) {
                state.SkipWithError("cannot read a resource");
                return;
            }
            const QByteArray bytes = file.readAll();
            crc = crc32(crc, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size()));
            deflated += deflateRaw(bytes);
        }
        benchmark::DoNotOptimize(crc);
        if (!writeLikeTheArchive(target, deflated)) {
            state.SkipWithError("cannot write the deflated bytes");
            return;
        }
    }
    s.deflatedSize = QFileInfo(target).size();
}
BENCHMARK(BM_DeflateInProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

// zip -q -6 cat.zip <page> <resources...>, run in the workspace like an
// export: a fresh archive each time.
void BM_ZipCommand(benchmark::State &state)
{
    Sample &s = sample();
    const QByteArray archive = QFile::encodeName(s.exportDir + "/zipped.zip");
    std::vector<QByteArray> words = {"zip", "-q", "-6", archive, Sample::CatPageName};
    for (const QString &resource : s.resources)
        words.push_back(QFile::encodeName(resource));
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, QFile::encodeName(s.paths.baseDir).constData());
    for (auto _ : state) {
        QFile::remove(QString::fromLocal8Bit(archive));
        pid_t pid = 0;
        if (posix_spawnp(&pid, "zip", &actions, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot start zip");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}
BENCHMARK(BM_ZipCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_GenerateSample(benchmark::State &state)
{
    Sample &s = sample();
    const QStringList &code = state.range(0) == 3 ? s.code3D : s.code;
    DiscardedMessages messages;
    for (auto _ : state)
        benchmark::DoNotOptimize(quill::generatePage(code, "sample", s.paths, messages));
}
// 2: the cat sample (2D), 3: the 3D sample.
BENCHMARK(BM_GenerateSample)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// Medians by benchmark name and argument ("BM_GenerateSample/2").
class NamedMedians : public MedianReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                byName[run.run_name.function_name
                       + (run.run_name.args.empty() ? "" : "/" + run.run_name.args)] =
                    run.GetAdjustedRealTime();
        MedianReporter::ReportRuns(runs);
    }
    std::map<std::string, double> byName;
};

} // namespace

int main(int argc, char **argv)
{
    std::vector<char *> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=15";
    bool given = false;
    for (char *arg : args)
        given = given || std::string(arg).rfind("--benchmark_repetitions", 0) == 0;
    if (!given)
        args.push_back(repetitions.data());
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    args.push_back(aggregates.data());
    // Repetitions of the benchmarks interleaved, so that a busy disk or
    // processor hits the archive step and its baselines alike.
    std::string interleaved = "--benchmark_enable_random_interleaving=true";
    args.push_back(interleaved.data());
    int count = int(args.size());

    NamedMedians reporter;
    if (!runBenchmarks(count, args.data(), reporter))
        return 2;

    const double archive = reporter.byName["BM_ExportArchive"];
    const double zip = reporter.byName["BM_ZipCommand"];
    const double deflated = reporter.byName["BM_DeflateInProcess"];
    const double page = reporter.byName["BM_SinglePage"];
    const double cat = reporter.byName["BM_GenerateSample/2"];
    const double threeD = reporter.byName["BM_GenerateSample/3"];
    const qint64 ours = QFileInfo(sample().exportDir + "/cat.zip").size();
    const qint64 theirs = QFileInfo(sample().exportDir + "/zipped.zip").size();
    const double ratio = deflated > 0 ? archive / deflated : 0;
    const double zipRatio = zip > 0 ? archive / zip : 0;
    const double pageRatio = archive > 0 ? page / archive : 0;
    const double sizeRatio = theirs > 0 ? double(ours) / double(theirs) : 0;

    std::printf("\nexport archive / zlib level 6 %.2f  (median %.2f ms against %.2f ms, both synced; "
                "%lld bytes against %lld deflated; limit %.1f)\n",
                ratio, archive, deflated, static_cast<long long>(ours),
                static_cast<long long>(sample().deflatedSize), ArchiveRatioLimit);
    std::printf("export archive / zip -q -6    %.2f  (median %.2f ms against %.2f ms; a process "
                "start, no sync; reported)\n",
                zipRatio, archive, zip);
    std::printf("archive size / zip's          %.4f  (%lld against %lld bytes; within %.0f%%)\n",
                sizeRatio, static_cast<long long>(ours), static_cast<long long>(theirs),
                SizeTolerance * 100);
    std::printf("one-file page / archive step %.2f  (median %.2f ms against %.2f ms; limit %.1f)\n",
                pageRatio, page, archive, PageRatioLimit);
    std::printf("generation, cat / 3D sample  %.2f / %.2f ms  (limit %.0f ms)\n", cat, threeD,
                GenerationLimitMs);
    const bool ok = ratio <= ArchiveRatioLimit && sizeRatio <= 1 + SizeTolerance
                    && pageRatio <= PageRatioLimit
                    && cat <= GenerationLimitMs && threeD <= GenerationLimitMs;
    return ok ? 0 : 1;
}
