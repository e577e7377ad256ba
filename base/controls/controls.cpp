#include "base/controls/controls.h"

#include <QListWidget>
#include <QPushButton>
#include <QWidget>

namespace quill {

QPushButton *makeButton(QWidget *parent, const char *objectName, const QString &caption,
                        int left, int top, int width, int height)
{
    auto *button = named(new QPushButton(caption, parent), objectName, caption);
    // A focused button clicks again on Space and Enter: the keys of a
    // hardware keyboard belong to the code and the one-line edits.
    button->setFocusPolicy(Qt::NoFocus);
    if (width > 0 && height > 0)
        button->setGeometry(left, top, width, height);
    return button;
}

QWidget *makePanel(QWidget *parent, const char *objectName, const QString &accessibleName,
                   bool opaque)
{
    auto *panel = named(new QWidget(parent), objectName, accessibleName);
    panel->setAutoFillBackground(opaque);
    return panel;
}

FileChooser makeFileChooser(QWidget *page, const FileChooserNames &names,
                            const QString &panelLabel, const QString &listLabel)
{
    FileChooser chooser;
    chooser.panel = makePanel(page, names.panel, panelLabel, true);
    chooser.panel->hide();
    chooser.list = named(new QListWidget(chooser.panel), names.list, listLabel);
    chooser.list->setFocusPolicy(Qt::NoFocus);
    const auto button = [&](const char *name, const QString &caption, int top) {
        return makeButton(chooser.panel, name, caption, ChooserButtonLeft, top, ChooserButtonWidth,
                          ChooserButtonHeight);
    };
    chooser.ok = button(names.ok, QStringLiteral("OK"), 24);
    chooser.cancel = button(names.cancel, QStringLiteral("Cancel"), 84);
    chooser.remove = button(names.remove, QStringLiteral("Delete"), 200);
    chooser.remove->hide();
    return chooser;
}

void layoutFileChooser(const FileChooser &chooser, const QRect &area)
{
    chooser.panel->setGeometry(area);
    chooser.list->setGeometry(0, 0, ChooserListWidth, area.height());
}

void setListItems(QListWidget *list, const QStringList &names)
{
    list->clear();
    list->addItems(names);
}

} // namespace quill
