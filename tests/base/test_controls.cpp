// The control helpers: a file chooser's list in the one order of names.
#include "base/controls/controls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>

namespace quill {
namespace {

TEST(FileChooser, ListsNamesInTheOneOrderOfNamesNotTheListBoxOwn)
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
    setSortedItems(chooser.list, {"c", "_u", "abc", "B", "ab", "1x", "a"});
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
