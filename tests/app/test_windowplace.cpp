// The window's place kept from one run to the next: written and read back,
// damaged files read as nothing kept, and a place off every screen today
// gives way to the design's place.
#include "app/windowplace.h"

#include "base/quillerror.h"
#include "base/textfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace quill {
namespace {

class WindowPlaceFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.path() + QStringLiteral("/state/QuillIDE/") + WindowPlaceFile; }

    void writeLines(const QStringList &lines)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path()).absolutePath()));
        writeTextFile(path(), lines);
    }
};

TEST_F(WindowPlaceFileTest, WhatIsWrittenIsReadBack)
{
    const std::vector<WindowPlace> places = {
        {QRect(120, 80, 1024, 700), false, false},
        {QRect(-1900, 10, 800, 600), true, true},  // on a screen left of the first
        {std::nullopt, false, true},
    };
    for (const WindowPlace &place : places) {
        writeWindowPlace(path(), place);  // makes the missing folders the first time
        EXPECT_EQ(readWindowPlace(path()), place);
    }
    const QStringList lines = readTextFile(path()).lines;
    EXPECT_EQ(lines, (QStringList{"maximized=0", "keyboard=hidden"}));
}

TEST_F(WindowPlaceFileTest, AMissingOrDamagedFileKeepsNothing)
{
    EXPECT_EQ(readWindowPlace(path()), WindowPlace{}) << "no file";
    struct Case {
        const char *name;
        QStringList lines;
        WindowPlace expected;
    };
    const std::vector<Case> cases = {
        {"a size that is no number", {"left=1", "top=2", "width=wide", "height=500", "keyboard=hidden"},
         {std::nullopt, false, true}},
        {"a missing value", {"left=1", "top=2", "width=640", "maximized=1"}, {std::nullopt, true, false}},
        {"no size at all", {"left=1", "top=2", "width=0", "height=500"}, {}},
        {"a negative size", {"left=1", "top=2", "width=640", "height=-5"}, {}},
        {"beyond the range of numbers", {"left=99999999999", "top=2", "width=640", "height=480"}, {}},
        {"other words", {"maximized=yes", "keyboard=off"}, {}},
        {"not even lines of names", {"\x01\x02garbage"}, {}},
        {"names in capitals", {"LEFT=5", "Top=6", "WIDTH=700", "height=500", "Keyboard=hidden"},
         {QRect(5, 6, 700, 500), false, true}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeLines(c.lines);
        EXPECT_EQ(readWindowPlace(path()), c.expected);
    }
    // A folder in the file's place.
    QFile::remove(path());
    ASSERT_TRUE(QDir().mkpath(path()));
    EXPECT_EQ(readWindowPlace(path()), WindowPlace{});
}

TEST_F(WindowPlaceFileTest, AFileThatCannotBeWrittenIsAnError)
{
    ASSERT_TRUE(QDir().mkpath(path()));  // a folder where the file would go
    EXPECT_THROW(writeWindowPlace(path(), {QRect(0, 0, 10, 10), false, false}), QuillError);
    // A file where the folder would go.
    const QString blocked = dir.path() + QStringLiteral("/file");
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_THROW(writeWindowPlace(blocked + QStringLiteral("/QuillIDE/window.ini"), {}), QuillError);
}

TEST(PlaceOnScreens, WhereItWasOrNothing)
{
    const QRect laptop(0, 0, 1280, 800);
    const QRect monitor(1280, 0, 1920, 1080);
    const QList<QRect> both = {laptop, monitor};
    struct Case {
        const char *name;
        QRect kept;
        QList<QRect> screens;
        std::optional<QRect> expected;
    };
    const std::vector<Case> cases = {
        {"on the screen", {100, 60, 800, 600}, {laptop}, QRect(100, 60, 800, 600)},
        {"on the second screen", {1500, 100, 800, 600}, both, QRect(1500, 100, 800, 600)},
        {"the second screen is gone", {1500, 100, 800, 600}, {laptop}, std::nullopt},
        {"mostly off the right edge, its top still reachable", {1200, 100, 800, 600}, {laptop},
         QRect(1200, 100, 800, 600)},
        {"less of its top on the screen than a grip", {1240, 100, 800, 600}, {laptop}, std::nullopt},
        {"its top above the screen", {100, -40, 800, 600}, {laptop}, std::nullopt},
        {"its top below the screen", {100, 790, 800, 600}, {laptop}, std::nullopt},
        {"larger than the screen it is on: made to fit", {0, 32, 1920, 1080}, {laptop}, QRect(0, 0, 1280, 800)},
        {"only taller than the screen", {200, 32, 800, 1000}, {laptop}, QRect(200, 0, 800, 800)},
        {"far away", {5000, 5000, 800, 600}, both, std::nullopt},
        {"no screens", {100, 60, 800, 600}, {}, std::nullopt},
        {"no size", {100, 60, 0, 0}, {laptop}, std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(placeOnScreens(c.kept, c.screens), c.expected) << c.name;
}

} // namespace
} // namespace quill
