// Lists under a finger: real touch events from a touch-screen device. A drag
// scrolls with momentum and never picks an item; a tap picks, a double tap
// double-clicks; the mouse works as before.
#include "base/controls/fingerscroll.h"

#include "tests/support/touchscreen.h"
#include "tests/support/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QScroller>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>

#include <memory>

namespace quill {
namespace {

using testsupport::Fingers;

class FingerScrollTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testsupport::ensureApplication();
    }

    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(300, 400);
        list = new QListWidget(window.get());
        list->setGeometry(0, 0, 300, 400);
        for (int row = 0; row < 200; ++row)
            list->addItem(QStringLiteral("file%1").arg(row, 3, 10, QLatin1Char('0')));
        scrollByFinger(list);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        fingers = std::make_unique<Fingers>(window.get());
    }

    void TearDown() override
    {
        fingers.reset();
        window.reset();
    }

    int scrolled() const { return list->verticalScrollBar()->value(); }
    QPoint rowPoint(int row) const { return list->visualItemRect(list->item(row)).center(); }

    // A quick upward flick of `distance` pixels, a step every 10 ms.
    void flick(int finger, int distance, QPoint from = QPoint(150, 350))
    {
        fingers->press(finger, list->viewport(), from).send();
        for (int step = 1; step <= 10; ++step) {
            QTest::qWait(10);
            fingers->move(finger, list->viewport(), from - QPoint(0, distance * step / 10)).send();
        }
        fingers->release(finger, list->viewport(), from - QPoint(0, distance)).send();
    }

    std::unique_ptr<QWidget> window;
    QListWidget *list = nullptr;
    std::unique_ptr<Fingers> fingers;
};

TEST_F(FingerScrollTest, ADragScrollsWithMomentumAndPicksNothing)
{
    QSignalSpy clicks(list, &QListWidget::itemClicked);
    QSignalSpy pressed(list, &QListWidget::itemPressed);
    QSignalSpy current(list, &QListWidget::currentRowChanged);
    flick(0, 250);
    const int atRelease = scrolled();
    EXPECT_GT(atRelease, 100) << "the list followed the finger";
    QTest::qWait(300);
    EXPECT_GT(scrolled(), atRelease) << "and glides on after it lifts";
    EXPECT_TRUE(QTest::qWaitFor([&] { return QScroller::scroller(list->viewport())->state() == QScroller::Inactive; }, 5000));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(pressed.count(), 0);
    EXPECT_EQ(current.count(), 0);
    EXPECT_TRUE(list->selectedItems().isEmpty());

    // A finger that rests before it drags does not pick either.
    fingers->press(1, list->viewport(), QPoint(150, 300)).send();
    QTest::qWait(400);
    for (int y = 290; y >= 150; y -= 20) {
        QTest::qWait(10);
        fingers->move(1, list->viewport(), QPoint(150, y)).send();
    }
    fingers->release(1, list->viewport(), QPoint(150, 150)).send();
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(current.count(), 0);
}

TEST_F(FingerScrollTest, ATapPicksAndADoubleTapDoubleClicks)
{
    QSignalSpy clicks(list, &QListWidget::itemClicked);
    QSignalSpy doubles(list, &QListWidget::itemDoubleClicked);
    fingers->tap(list->viewport(), rowPoint(3));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.front().front().value<QListWidgetItem *>()->text(), "file003");
    EXPECT_EQ(list->currentRow(), 3);
    EXPECT_TRUE(list->item(3)->isSelected());
    EXPECT_EQ(doubles.count(), 0);

    fingers->tap(list->viewport(), rowPoint(3));
    ASSERT_EQ(doubles.count(), 1);
    EXPECT_EQ(doubles.front().front().value<QListWidgetItem *>()->text(), "file003");

    // Taps far apart, or slow, are single taps.
    QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
    fingers->tap(list->viewport(), rowPoint(5));
    fingers->tap(list->viewport(), rowPoint(1));
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(list->currentRow(), 1);
}

TEST_F(FingerScrollTest, ATapOnAGlidingListOnlyStopsIt)
{
    QSignalSpy clicks(list, &QListWidget::itemClicked);
    flick(0, 300);
    QTest::qWait(50);
    ASSERT_EQ(QScroller::scroller(list->viewport())->state(), QScroller::Scrolling);
    fingers->tap(list->viewport(), QPoint(150, 200));
    EXPECT_EQ(clicks.count(), 0);
    const int stopped = scrolled();
    QTest::qWait(200);
    EXPECT_EQ(scrolled(), stopped);
}

TEST_F(FingerScrollTest, OnlyTheFirstFingerCounts)
{
    QSignalSpy clicks(list, &QListWidget::itemClicked);
    fingers->press(0, list->viewport(), rowPoint(2)).send();
    fingers->press(1, list->viewport(), rowPoint(6)).send();
    fingers->release(1, list->viewport(), rowPoint(6)).send();
    fingers->release(0, list->viewport(), rowPoint(2)).send();
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(list->currentRow(), 2);
}

TEST_F(FingerScrollTest, TheMouseWorksAsBefore)
{
    QSignalSpy clicks(list, &QListWidget::itemClicked);
    QSignalSpy doubles(list, &QListWidget::itemDoubleClicked);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowPoint(4));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rowPoint(4));
    EXPECT_GE(clicks.count(), 1);
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(list->currentRow(), 4);
}

} // namespace
} // namespace quill
