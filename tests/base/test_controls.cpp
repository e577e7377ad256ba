// The control helpers: a file chooser's list keeps the order it is given.
#include "base/controls/controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>

namespace quill {
namespace {

TEST(FileChooser, ListsNamesInTheOrderGivenNotTheListBoxOwn)
{
    static int argc = 1;
    static char name[] = "test_controls";
    static char *argv[] = {name, nullptr};
    if (!qApp)
        new QApplication(argc, argv);

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

} // namespace
} // namespace quill
