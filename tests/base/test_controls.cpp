// The control helpers: a file chooser's list keeps the order it is given,
// its rows are a finger high, and where asked it fits its longest name.
#include "base/controls/controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>

namespace quill {
namespace {

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "test_controls";
    static char *argv[] = {name, nullptr};
    if (!qApp)
        new QApplication(argc, argv);
}

FileChooser codeChooser(QWidget *page)
{
    return makeFileChooser(page, {"pnlBasfiles", "lstBasfiles", "btTextOk", "btTextCancel", "btTextDelete"},
                           "Code file chooser", "Code files");
}

TEST(FileChooser, ListsNamesInTheOrderGivenNotTheListBoxOwn)
{
    ensureApplication();
    QWidget page;
    const FileChooser chooser = makeFileChooser(
        &page, {"pnlBasfiles", "lstBasfiles", "btTextOk", "btTextCancel", "btTextDelete"},
        "Code file chooser", "Code files");
    // The one order of names, as ListFiles gives it; a sorting list box
    // would move "B" before "a" and "_u" before "a".
    setListItems(chooser.list, {"1x", "a", "ab", "abc", "B", "c", "_u"});
    QStringList shown;
    for (int row = 0; row < chooser.list->count(); ++row)
        shown << chooser.list->item(row)->text();
    EXPECT_EQ(shown, (QStringList{"1x", "a", "ab", "abc", "B", "c", "_u"}));
    // Adding an item later keeps it where it was put: the box does not sort.
    chooser.list->addItem("0");
    EXPECT_EQ(chooser.list->item(chooser.list->count() - 1)->text(), "0");
}

TEST(FileChooser, EveryRowIsAFingerHigh)
{
    ensureApplication();
    QWidget page;
    const FileChooser chooser = codeChooser(&page);
    setListItems(chooser.list, {"cat_sample", "3d_sample", "x"});
    layoutFileChooser(chooser, QRect(0, 43, 384, 475));
    page.show();
    for (int row = 0; row < chooser.list->count(); ++row)
        EXPECT_GE(chooser.list->visualItemRect(chooser.list->item(row)).height(), TouchRowHeight) << row;
}

TEST(FileChooser, FitsItsLongestNameWhereAskedAndKeepsTheDesignsWidthOtherwise)
{
    ensureApplication();
    QWidget page;
    const FileChooser chooser = codeChooser(&page);
    const QString longName = QString(60, u'w');
    struct Case {
        const char *name;
        QStringList names;
        int areaWidth;
        bool fit;
        bool designWidth;  // else wider, to the longest name within the area
    };
    const std::vector<Case> cases = {
        {"upright: the design's width whatever the names", {longName}, 384, false, true},
        {"short names: never narrower than designed", {"a", "b"}, 1280, true, true},
        {"a long name widens the list", {"a", longName}, 1280, true, false},
        {"no names", {}, 1280, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        setListItems(chooser.list, c.names);
        const QRect area(0, 43, c.areaWidth, 475);
        layoutFileChooser(chooser, area, c.fit);
        EXPECT_EQ(chooser.panel->geometry(), area);
        const int width = chooser.list->width();
        if (c.designWidth)
            EXPECT_EQ(width, ChooserListWidth);
        else
            EXPECT_GE(width, widthForItems(chooser.list));
        EXPECT_EQ(chooser.ok->x(), width + ChooserButtonLeft - ChooserListWidth) << "the buttons follow the list";
        EXPECT_EQ(chooser.cancel->x(), chooser.ok->x());
        EXPECT_LE(chooser.ok->geometry().right(), area.width() - 1) << "the buttons stay in the panel";
    }
    // A name longer than the panel allows: the list stops where the buttons must start.
    setListItems(chooser.list, {QString(400, u'w')});
    layoutFileChooser(chooser, QRect(0, 43, 1280, 475), true);
    EXPECT_EQ(chooser.ok->geometry().right(), 1280 - (ChooserButtonLeft - ChooserListWidth) - 1);
}

TEST(FittedListWidth, BetweenTheDesignsWidthAndTheRoom)
{
    struct Case {
        const char *name;
        int needed, designWidth, room, width;
    };
    const std::vector<Case> cases = {
        {"what the names need", 300, 217, 1000, 300},
        {"never narrower than designed", 100, 217, 1000, 217},
        {"never wider than the room", 1200, 217, 1000, 1000},
        {"room narrower than designed: the design wins", 300, 217, 150, 217},
    };
    for (const Case &c : cases)
        EXPECT_EQ(fittedListWidth(c.needed, c.designWidth, c.room), c.width) << c.name;
}

} // namespace
} // namespace quill
