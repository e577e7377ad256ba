// The control helpers: a one-line edit holds one line; a file chooser's list
// keeps the order it is given, its rows are a finger high, and where asked
// it fits its longest name.
#include "base/controls/controls.h"
#include "tests/support/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <vector>

namespace quill {
namespace {

using testsupport::ensureApplication;

struct OneLineCase {
    const char *name;
    std::function<void(QLineEdit *)> enter;
    QString kept;
};

// Whatever way text comes in, a one-line edit holds one line.
TEST(LineEdit, HoldsOneLineWhateverComesIn)
{
    ensureApplication();
    const std::vector<OneLineCase> cases = {
        {"pasted lines", [](QLineEdit *e) { QGuiApplication::clipboard()->setText("/home/a\n/b\r\nc"); e->paste(); },
         "/home/a/bc"},
        {"a path copied with its line end", [](QLineEdit *e) { QGuiApplication::clipboard()->setText("/games\n"); e->paste(); },
         "/games"},
        {"inserted", [](QLineEdit *e) { e->insert("x\ry"); }, "xy"},
        {"set", [](QLineEdit *e) { e->setText(QStringLiteral("a\vb\fc") + QChar(0x2028) + "d" + QChar(0x85)); }, "abcd"},
        {"typed with Return", [](QLineEdit *e) { QTest::keyClicks(e, "ab"); QTest::keyClick(e, Qt::Key_Return); QTest::keyClicks(e, "c"); },
         "abc"},
        {"tabs and other text stay", [](QLineEdit *e) { e->setText("a\tb \u00e9"); }, "a\tb \u00e9"},
    };
    for (const OneLineCase &c : cases) {
        SCOPED_TRACE(c.name);
        QWidget page;
        QLineEdit *edit = makeLineEdit(&page, "edtOpenmsxdir", "Export directory");
        c.enter(edit);
        EXPECT_EQ(edit->text(), c.kept);
        EXPECT_EQ(edit->objectName(), "edtOpenmsxdir");
        EXPECT_EQ(edit->accessibleName(), "Export directory");
    }
    // A plain line edit keeps a pasted line break: the reason for the helper.
    QLineEdit plain;
    QGuiApplication::clipboard()->setText("a\nb");
    plain.paste();
    EXPECT_EQ(plain.text(), "a\nb");
    // The cursor stays after what was pasted.
    QWidget page;
    QLineEdit *edit = makeLineEdit(&page, "edtFile", "File name", "ab");
    edit->setCursorPosition(1);
    QGuiApplication::clipboard()->setText("x\ny");
    edit->paste();
    EXPECT_EQ(edit->text(), "axyb");
    EXPECT_EQ(edit->cursorPosition(), 3);
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
