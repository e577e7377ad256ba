// The pick list's mechanics: filling, opening in a mode, choosing, closing.
#include "editor/picklist.h"

#include "base/controls/controls.h"
#include "tests/support/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>

namespace quill {
namespace {

class PickListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testsupport::ensureApplication();
    }

    void SetUp() override
    {
        window.resize(320, 400);
        list.setGeometry(32, 16, 256, 300);
        list.layoutBox(213, 43);
        window.show();
    }

    // A press and release in the list box's viewport, as a finger or a mouse.
    void tapAt(const QPoint &point)
    {
        QWidget *viewport = list.list()->viewport();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, point, viewport->mapToGlobal(point), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(viewport, &event);
        }
    }
    void tapItem(int row) { tapAt(list.list()->visualItemRect(list.list()->item(row)).center()); }

    QWidget window;
    PickList list{&window};
};

TEST_F(PickListTest, OpensHiddenNowhereAndShowsInTheModeAsked)
{
    PickList fresh(&window);
    EXPECT_FALSE(fresh.isVisible());
    EXPECT_EQ(fresh.pickMode(), PickMode::None);
    list.setItems({"setcam(", "sqr(", "sin("});
    list.OpenPickList(PickMode::Keywords);
    EXPECT_TRUE(list.isVisible());
    EXPECT_EQ(list.pickMode(), PickMode::Keywords);
    EXPECT_EQ(list.items(), (QStringList{"setcam(", "sqr(", "sin("})) << "not sorted by itself";
}

TEST_F(PickListTest, ATapHandsTheItemToTheModeThatOpenedTheList)
{
    QSignalSpy chosen(&list, &PickList::itemChosen);
    list.setItems({"DB16", "MSX", "PICO8"});
    list.OpenPickList(PickMode::Palettes);
    tapItem(1);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<PickMode>(), PickMode::Palettes);
    EXPECT_EQ(chosen.at(0).at(1).toInt(), 1);
    EXPECT_EQ(chosen.at(0).at(2).toString(), QStringLiteral("MSX"));
    EXPECT_TRUE(list.isVisible()) << "whoever handles the choice closes the list";
}

TEST_F(PickListTest, RefillingOrTappingBesideTheItemsIsNoChoice)
{
    QSignalSpy chosen(&list, &PickList::itemChosen);
    list.setItems({"a", "b"});
    list.OpenPickList(PickMode::Templates);
    list.list()->setCurrentRow(1);
    list.setItems({"c"});
    list.setItems({});
    EXPECT_EQ(chosen.count(), 0);
    list.setItems({"only"});
    tapAt(QPoint(5, list.list()->viewport()->height() - 5));
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_EQ(list.list()->currentItem() ? list.list()->selectedItems().size() : 0, 0);
}

TEST_F(PickListTest, CancelHidesAndKeepsModeAndItems)
{
    list.setItems({"tm_out", "tm_yure"});
    list.OpenPickList(PickMode::Templates);
    list.cancelButton()->click();
    EXPECT_FALSE(list.isVisible());
    EXPECT_EQ(list.pickMode(), PickMode::Templates);
    EXPECT_EQ(list.items(), (QStringList{"tm_out", "tm_yure"}));
}

TEST_F(PickListTest, HardwareKeysNeverPickAnItem)
{
    QSignalSpy chosen(&list, &PickList::itemChosen);
    list.setItems({"abs(", "bgbegin()", "sin("});
    list.OpenPickList(PickMode::Keywords);
    EXPECT_EQ(list.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(list.list()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(list.cancelButton()->focusPolicy(), Qt::NoFocus);
    // A typed letter goes wherever the focus is, never to the list.
    for (int key : {Qt::Key_B, Qt::Key_Down, Qt::Key_Return, Qt::Key_Space}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_B ? "b" : "");
        QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : &window,
                                &press);
    }
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_TRUE(list.list()->selectedItems().isEmpty());
    EXPECT_FALSE(list.list()->hasFocus());
}

TEST_F(PickListTest, RowsAreAFingerHigh)
{
    list.setItems({"setcam(", "sqr(", "sin("});
    list.OpenPickList(PickMode::Keywords);
    for (int row = 0; row < 3; ++row)
        EXPECT_GE(list.list()->visualItemRect(list.list()->item(row)).height(), TouchRowHeight) << row;
}

TEST_F(PickListTest, AFittingListTakesTheWidthOfItsLongestItem)
{
    window.resize(1280, 800);
    list.setGeometry(32, 16, 1216, 751);
    list.layoutBox(1173, 43, true);
    struct Case {
        const char *name;
        QStringList items;
        bool designWidth;
    };
    const std::vector<Case> cases = {
        {"short items: the design's width", {"MSX", "DB16"}, true},
        {"a long item widens the list", {"a", QString(80, u'm')}, false},
        {"refilled with short items: narrow again", {"tm_out"}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        list.setItems(c.items);
        list.OpenPickList(PickMode::Templates);
        const int width = list.list()->width();
        if (c.designWidth)
            EXPECT_EQ(width, PickList::DesignBoxWidth);
        else
            EXPECT_EQ(width, widthForItems(list.list()));
        EXPECT_EQ(list.cancelButton()->x(), width) << "the X button right of the list";
        EXPECT_EQ(list.width(), width + 43) << "the panel ends at the X button";
    }
    // Longer than the page allows: the list stops at the panel's room.
    list.setItems({QString(400, u'm')});
    EXPECT_EQ(list.list()->width(), 1173);
}

} // namespace
} // namespace quill
