// The sprite editor's costs, each beside its baseline in the same run:
//   - FloodFill at 127 x 127 of a blank cel and of the regions that are hard
//     on a fill (combs of one-pixel teeth, a checkerboard, serpentines, a
//     spiral, a maze: tests/sprite/fillregions.h), each against the recolour
//     pass over the same cel from the same pixel (Replace; at most 5 x), with
//     the ratio to the recolour pass over a blank cel, the quickest there is,
//     reported beside it; and a blank cel at 127 against 16 (linear: the
//     per-pixel cost at 127 at most 1.3 x that at 16);
//   - saving a 32-cel 127 x 127 sprite with its sheet against writing the
//     same bytes (the sprite file and an uncompressed image of the sheet's
//     size) through the same atomic writer;
//   - a canvas repaint in a 384-pixel page at sprite size 127 against 16 over
//     a scripted drag (at most 2 x, and the median within one 60 Hz frame).
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_sprite [--benchmark_repetitions=N]
//
// Prints the table, then medians, ratios and the repaint maxima; exits with
// status 1 when a ratio or the frame budget is missed.

#include "base/settingsstore.h"
#include "base/textfile.h"
#include "sprite/floodfill.h"
#include "sprite/replacecolor.h"
#include "sprite/spritecanvas.h"
#include "sprite/spriteeditor.h"
#include "sprite/spritesheet.h"
#include "sprite/spritestorage.h"
#include "tests/sprite/fillregions.h"

#include <QApplication>
#include <QBuffer>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <vector>

namespace {

// The console table, and the median of every repeated benchmark by its full
// name ("BM_FloodFillWholeCel/127") in the benchmark's display unit.
class NamedMedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                byName[run.run_name.function_name
                       + (run.run_name.args.empty() ? "" : "/" + run.run_name.args)] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> byName;
};

void BM_FloodFillWholeCel(benchmark::State &state)
{
    const int size = static_cast<int>(state.range(0));
    std::vector<std::uint8_t> cel(size * size, 0);
    std::uint8_t colour = 1;
    for (auto _ : state) {
        quill::FloodFill(cel, size, size / 2, size / 2, colour);
        colour = colour == 1 ? 2 : 1;
        benchmark::DoNotOptimize(cel.data());
    }
}

void BM_ReplaceWholeCel(benchmark::State &state)
{
    const int size = static_cast<int>(state.range(0));
    std::vector<std::uint8_t> cel(size * size, 0);
    std::uint8_t colour = 1;
    for (auto _ : state) {
        quill::ReplaceColor(cel, size, size / 2, size / 2, colour);
        colour = colour == 1 ? 2 : 1;
        benchmark::DoNotOptimize(cel.data());
    }
}

constexpr int RegionSize = 127;

const std::vector<FillRegion> &regions()
{
    static const std::vector<FillRegion> all = fillRegions(RegionSize);
    return all;
}

// The region's colour and back again in turn: every fill covers the same
// pixels, and the cel needs no copying between fills.
template <typename Paint> void paintRegionInTurn(benchmark::State &state, Paint paint)
{
    const FillRegion &region = regions()[static_cast<std::size_t>(state.range(0))];
    std::vector<std::uint8_t> cel = region.pixels;
    std::uint8_t colour = 5;
    for (auto _ : state) {
        paint(cel, RegionSize, region.x, region.y, colour);
        colour = colour == 5 ? fillregions::Open : 5;
        benchmark::DoNotOptimize(cel.data());
    }
    state.SetLabel(region.name);
}

void BM_FillRegion(benchmark::State &state)
{
    paintRegionInTurn(state, quill::FloodFill);
}

void BM_ReplaceRegion(benchmark::State &state)
{
    paintRegionInTurn(state, quill::ReplaceColor);
}

void regionArguments(benchmark::internal::Benchmark *benchmark)
{
    for (std::size_t i = 0; i < regions().size(); ++i)
        benchmark->Arg(static_cast<int>(i));
}

// A sprite the way people draw them: shapes in a few colours on
// transparency, a little different in every cel.
std::unique_ptr<quill::SpriteEditor> drawnSprite(int size, int cels)
{
    auto drawn = std::make_unique<quill::SpriteEditor>(size);
    quill::SpriteEditor &editor = *drawn;
    quill::SpriteDocument &doc = editor.document();
    for (int c = 0; c < cels; ++c) {
        if (c > 0)
            doc.addCel();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const int dx = x - size / 2 - c % 5, dy = y - size / 2;
                const int r2 = dx * dx + dy * dy;
                const int radius = size / 3;
                std::uint8_t index = 0;
                if (r2 < radius * radius)
                    index = static_cast<std::uint8_t>(r2 < radius * radius / 4 ? 11 : 8 + (x / 8 + y / 8 + c) % 3);
                doc.setPixel(x, y, index);
            }
    }
    quill::SettingsStore settings;
    settings.setValue("palette", "P");
    settings.setValue("plt" + QStringLiteral("P"), "000000010101ff0000ffff0000ff0000ffff00ffff00ffffffff"
                                                   "808080404040c0c0c0123456654321abcdefdef012f0f0f0");
    editor.ApplyPalette(settings);
    return drawn;
}

void BM_SaveSprite(benchmark::State &state)
{
    QTemporaryDir dir;
    const std::unique_ptr<quill::SpriteEditor> drawn = drawnSprite(127, 32);
    const quill::SpriteEditor &editor = *drawn;
    const QString folder = dir.path() + "/";
    for (auto _ : state)
        quill::saveSprite(editor.document(), editor.palette(), folder, folder, "sprite");
}

void BM_WriteSameBytesRaw(benchmark::State &state)
{
    QTemporaryDir dir;
    const std::unique_ptr<quill::SpriteEditor> drawn = drawnSprite(127, 32);
    const quill::SpriteEditor &editor = *drawn;
    const QByteArray sprite = editor.document().fileBytes();
    const QImage sheet = quill::buildSpriteSheet(editor.document(), editor.palette());
    const QByteArray image(reinterpret_cast<const char *>(sheet.constBits()), sheet.sizeInBytes());
    for (auto _ : state) {
        quill::writeBinaryFile(dir.path() + "/sprite", sprite);
        quill::writeBinaryFile(dir.path() + "/sprite.raw", image);
    }
}

// PNG levels, to show what the level costs and saves on the same sheet.
void BM_EncodeSheetAtLevel(benchmark::State &state)
{
    const std::unique_ptr<quill::SpriteEditor> drawn = drawnSprite(127, 32);
    const quill::SpriteEditor &editor = *drawn;
    const QImage sheet = quill::buildSpriteSheet(editor.document(), editor.palette());
    const int level = static_cast<int>(state.range(0));
    QByteArray png;
    for (auto _ : state) {
        png.clear();
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        sheet.save(&buffer, "PNG", 100 - (level * 91 + 8) / 9);
    }
    state.counters["KiB"] = png.size() / 1024.0;
}

// Per repaint, by sprite size, in ms: wall time, and the time this thread
// ran (the machine may be shared; the thread's own time shows the paint's
// cost without the waits of other processes).
std::map<int, std::vector<double>> repaintTimes;
std::map<int, std::vector<double>> repaintCpuTimes;

double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// One repaint of the canvas per step of a drag across the cel, as the
// window does it: the drag sets a pixel, the canvas repaints at once.
void BM_CanvasRepaintDuringDrag(benchmark::State &state)
{
    const int size = static_cast<int>(state.range(0));
    const int page = 384;
    const int zoom = page / size;
    const std::unique_ptr<quill::SpriteEditor> drawn = drawnSprite(size, 1);
    quill::SpriteEditor &editor = *drawn;
    quill::SpriteCanvas canvas;
    canvas.setGeometry(0, 0, page, page);
    canvas.show();
    while (!canvas.windowHandle() || !canvas.windowHandle()->isExposed())
        QCoreApplication::processEvents();
    canvas.showCel(editor.document().currentCelPixels(), size, zoom, editor.palette());
    canvas.repaint();   // the first paint sets up the backing store
    std::vector<double> &times = repaintTimes[size];
    std::vector<double> &cpuTimes = repaintCpuTimes[size];
    int step = 0;
    for (auto _ : state) {
        const int x = step % size, y = (step / size) % size;
        editor.selectColor(1 + step % 15);
        editor.drag(x, y);
        const quill::SpriteDocument &doc = editor.document();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadMilliseconds();
        canvas.showCel(doc.currentCelPixels(), size, zoom, editor.palette());
        canvas.repaint();
        cpuTimes.push_back(threadMilliseconds() - cpuStart);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        ++step;
    }
}

BENCHMARK(BM_FloodFillWholeCel)->Arg(16)->Arg(127)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReplaceWholeCel)->Arg(127)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_FillRegion)->Apply(regionArguments)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReplaceRegion)->Apply(regionArguments)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveSprite)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_WriteSameBytesRaw)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_EncodeSheetAtLevel)->Arg(1)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_CanvasRepaintDuringDrag)->Arg(16)->Arg(127)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The value below which the fraction `at` of the values lie.
double percentile(std::vector<double> values, double at)
{
    if (values.empty())
        return 0;
    const auto index = static_cast<std::size_t>(at * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
    return values[index];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    NamedMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    bool ok = true;
    std::printf("\n");
    const double area = (127.0 * 127.0) / (16.0 * 16.0);
    if (const auto f16 = reporter.byName.find("BM_FloodFillWholeCel/16"), f127 = reporter.byName.find("BM_FloodFillWholeCel/127");
        f16 != reporter.byName.end() && f127 != reporter.byName.end()) {
        const double perPixel = (f127->second / f16->second) / area;
        std::printf("fill of a blank cel, 127: %.2f us, 16: %.3f us, ratio %.1f for %.1f x the area: %.2f x per pixel "
                    "(at most 1.3) %s\n",
                    f127->second, f16->second, f127->second / f16->second, area, perPixel,
                    perPixel <= 1.3 ? "ok" : "OVER");
        ok = ok && perPixel <= 1.3;
    }
    if (const auto blank = reporter.byName.find("BM_ReplaceWholeCel/127"); blank != reporter.byName.end()) {
        std::printf("fill at 127 x 127 against the recolour pass over the same cel (at most 5 x); "
                    "against the recolour pass over a blank cel (%.2f us), reported:\n", blank->second);
        for (std::size_t i = 0; i < regions().size(); ++i) {
            const std::string arg = "/" + std::to_string(i);
            const auto fill = reporter.byName.find("BM_FillRegion" + arg);
            const auto same = reporter.byName.find("BM_ReplaceRegion" + arg);
            if (fill == reporter.byName.end() || same == reporter.byName.end())
                continue;
            const double ratio = fill->second / same->second;
            std::printf("  %-20s fill %7.2f us, recolour %6.2f us: %5.2f x %-4s  (blank cel's: %5.2f x)\n",
                        regions()[i].name, fill->second, same->second, ratio, ratio <= 5 ? "ok" : "OVER",
                        fill->second / blank->second);
            ok = ok && ratio <= 5;
        }
    }
    if (const auto save = reporter.byName.find("BM_SaveSprite"), raw = reporter.byName.find("BM_WriteSameBytesRaw");
        save != reporter.byName.end() && raw != reporter.byName.end())
        std::printf("save with sheet: %.2f ms, same bytes raw: %.2f ms: %.2f x\n", save->second, raw->second,
                    save->second / raw->second);
    if (!repaintTimes[16].empty() && !repaintTimes[127].empty()) {
        const std::vector<double> &t16 = repaintTimes[16], &t127 = repaintTimes[127];
        const double m16 = percentile(t16, 0.5), m127 = percentile(t127, 0.5);
        std::printf("canvas repaint during a drag (%zu and %zu repaints):\n"
                    "  127: median %.3f ms, 99th percentile %.3f ms, max %.3f ms\n"
                    "   16: median %.3f ms, 99th percentile %.3f ms, max %.3f ms\n"
                    "  ratio of medians %.2f (at most 2); 127 within 16.7 ms: %s\n",
                    t127.size(), t16.size(), m127, percentile(t127, 0.99), percentile(t127, 1.0), m16,
                    percentile(t16, 0.99), percentile(t16, 1.0), m127 / m16, m127 <= 16.7 ? "yes" : "no");
        const std::vector<double> &c16 = repaintCpuTimes[16], &c127 = repaintCpuTimes[127];
        std::printf("  thread time: 127: median %.3f ms, max %.3f ms; 16: median %.3f ms, max %.3f ms\n",
                    percentile(c127, 0.5), percentile(c127, 1.0), percentile(c16, 0.5), percentile(c16, 1.0));
        ok = ok && m127 / m16 <= 2 && m127 <= 16.7;
    }
    return ok ? 0 : 1;
}
