// High DPI: at a device pixel ratio of 2 every page of the design's window
// lays out exactly as at 1 in logical pixels, and the window is drawn at the
// full ratio (no rounding down that would leave the backing store to be
// stretched and blurred). On a 1280 x 800 screen at ratios 1, 1.5 and 2
// every control of every page lies inside the window and the code's glyphs
// are whole multiples of the font's 8 pixels in device pixels.
#include "desktoptest.h"

#include <QRect>
#include <QSize>
#include <QTemporaryDir>

#include <cmath>

#include <gtest/gtest.h>

using namespace desktoptest;

namespace {

struct Probe {
    double ratio = 0;
    QSize client;
    int cell = 0;
    QStringList controls; // "page <n> <name> x y w h"
    QStringList shots;    // "shot <n> <device width> <device height> <ratio>"
};

Probe runProbe(const char *scaleFactor, const QString &screenshots, const QStringList &deviceSize = {})
{
    QTemporaryDir data;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    environment.insert(QStringLiteral("XDG_STATE_HOME"), data.path() + QStringLiteral("/state"));
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QLatin1String(scaleFactor));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    const Result result =
        run(QStringLiteral(QUILL_LAYOUTPROBE), QStringList{screenshots} + deviceSize, environment, 60000);
    if (result.exitCode != 0)
        throw std::runtime_error("layoutprobe failed: " + result.text());
    Probe probe;
    for (const QString &line : QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("ratio ")))
            probe.ratio = line.mid(6).toDouble();
        else if (line.startsWith(QLatin1String("client ")))
            probe.client = QSize(line.section(u' ', 1, 1).toInt(), line.section(u' ', 2, 2).toInt());
        else if (line.startsWith(QLatin1String("cell ")))
            probe.cell = line.mid(5).toInt();
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

TEST(HighDpi, OnA1280x800ScreenEveryControlIsInsideTheWindowAtEachRatio)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "runs under Xvfb";
    struct Case {
        const char *scaleFactor;
        double ratio;
        QSize client;  // 1280 x 800 device pixels in logical ones
    };
    const std::vector<Case> cases = {
        {"1", 1, {1280, 800}},
        {"1.5", 1.5, {853, 533}},
        {"2", 2, {640, 400}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.scaleFactor);
        QTemporaryDir scratch;
        const Probe probe = runProbe(c.scaleFactor, scratch.path(), {QStringLiteral("1280"), QStringLiteral("800")});
        EXPECT_EQ(probe.ratio, c.ratio);
        ASSERT_EQ(probe.client, c.client);
        EXPECT_EQ(std::fmod(probe.cell * c.ratio, 8.0), 0.0) << "cell " << probe.cell;
        const QRect window(QPoint(0, 0), probe.client);
        ASSERT_GT(probe.controls.size(), 100);
        for (const QString &line : probe.controls) {
            // "page <n> <name> x y w h"
            const QStringList parts = line.split(u' ');
            ASSERT_EQ(parts.size(), 7) << line.toStdString();
            const QRect control(parts[3].toInt(), parts[4].toInt(), parts[5].toInt(), parts[6].toInt());
            EXPECT_TRUE(window.contains(control)) << line.toStdString();
        }
        ASSERT_EQ(probe.shots.size(), 4);
        for (const QString &shot : probe.shots) {
            const QStringList parts = shot.split(u' ');
            EXPECT_EQ(parts[2].toInt(), static_cast<int>(std::ceil(probe.client.width() * c.ratio)));
            EXPECT_EQ(parts[3].toInt(), static_cast<int>(std::ceil(probe.client.height() * c.ratio)));
        }
    }
}

} // namespace
