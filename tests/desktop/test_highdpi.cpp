// High DPI: at a device pixel ratio of 2 every page lays out exactly as at 1
// in logical pixels, and the window is drawn at the full ratio (no rounding
// down that would leave the backing store to be stretched and blurred).
#include "desktoptest.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace desktoptest;

namespace {

struct Probe {
    double ratio = 0;
    QStringList controls; // "page <n> <name> x y w h"
    QStringList shots;    // "shot <n> <device width> <device height> <ratio>"
};

Probe runProbe(const char *scaleFactor, const QString &screenshots)
{
    QTemporaryDir data;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    environment.insert(QStringLiteral("XDG_STATE_HOME"), data.path() + QStringLiteral("/state"));
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QLatin1String(scaleFactor));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    const Result result = run(QStringLiteral(QUILL_LAYOUTPROBE), {screenshots}, environment, 60000);
    if (result.exitCode != 0)
        throw std::runtime_error("layoutprobe failed: " + result.text());
    Probe probe;
    for (const QString &line : QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("ratio ")))
            probe.ratio = line.mid(6).toDouble();
        else if (line.startsWith(QLatin1String("shot ")))
            probe.shots << line;
        else
            probe.controls << line;
    }
    return probe;
}

TEST(HighDpi, EveryPageLaysOutAtRatio2AsAtRatio1InLogicalPixels)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "runs under Xvfb";
    // Screenshots for looking at by hand: QUILL_SCREENSHOTS=<folder>.
    const QString folder = qEnvironmentVariable("QUILL_SCREENSHOTS");
    QTemporaryDir scratch;
    const Probe single = runProbe("1", scratch.path());
    const Probe doubled = runProbe("2", folder.isEmpty() ? scratch.path() : folder);

    EXPECT_EQ(single.ratio, 1.0);
    EXPECT_EQ(doubled.ratio, 2.0);
    ASSERT_GT(single.controls.size(), 100) << "every page's controls, the 80 keys among them";
    EXPECT_EQ(doubled.controls, single.controls);

    // Each page is drawn with twice the pixels in each direction.
    ASSERT_EQ(single.shots.size(), 4);
    ASSERT_EQ(doubled.shots.size(), 4);
    for (int page = 0; page < 4; ++page) {
        const QStringList one = single.shots[page].split(u' '), two = doubled.shots[page].split(u' ');
        EXPECT_EQ(two[2].toInt(), 2 * one[2].toInt()) << "page " << page;
        EXPECT_EQ(two[3].toInt(), 2 * one[3].toInt()) << "page " << page;
        EXPECT_EQ(two[4], QStringLiteral("2")) << "page " << page;
    }
}

} // namespace
