#include "base/controls/controls.h"

#include "base/controls/fingerscroll.h"
#include "base/onelinetext.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QValidator>
#include <QWidget>

#include <algorithm>

namespace quill {

namespace {

// The chooser's buttons stand this far right of the list, as designed.
constexpr int ChooserButtonGap = ChooserButtonLeft - ChooserListWidth;

class TouchRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QSize hint = QStyledItemDelegate::sizeHint(option, index);
        return {hint.width(), std::max(hint.height(), TouchRowHeight)};
    }
};

// Takes the line breaks out of what comes into the edit (the line edit
// keeps the text a validator hands back), with the cursor where it was
// relative to the text around it.
class OneLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override
    {
        int removedBefore = 0;
        for (int i = 0; i < position && i < input.size(); ++i)
            removedBefore += isLineBreak(input[i]);
        input = withoutLineBreaks(input);
        position -= removedBefore;
        return Acceptable;
    }
};

} // namespace

QLineEdit *makeLineEdit(QWidget *parent, const char *objectName, const QString &accessibleName,
                        const QString &text)
{
    auto *edit = named(new QLineEdit(parent), objectName, accessibleName);
    edit->setValidator(new OneLineValidator(edit));
    edit->setText(text);
    return edit;
}

void useTouchRows(QAbstractItemView *list)
{
    list->setItemDelegate(new TouchRowDelegate(list));
}

int widthForItems(const QListWidget *list)
{
    const int widest = list->count() > 0 ? std::max(0, list->sizeHintForColumn(0)) : 0;
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    return widest + 2 * list->frameWidth() + scrollBar;
}

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
    useTouchRows(chooser.list);
    scrollByFinger(chooser.list);
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

bool cancelFileChooser(const FileChooser &chooser)
{
    if (!chooser.panel->isVisible())
        return false;
    chooser.cancel->click();
    return true;
}

void layoutFileChooser(const FileChooser &chooser, const QRect &area, bool fitNames)
{
    chooser.panel->setGeometry(area);
    const int room = area.width() - ChooserButtonGap - ChooserButtonWidth - ChooserButtonGap;
    const int listWidth =
        fitNames ? fittedListWidth(widthForItems(chooser.list), ChooserListWidth, room) : ChooserListWidth;
    chooser.list->setGeometry(0, 0, listWidth, area.height());
    const int buttonLeft = listWidth + ChooserButtonGap;
    for (QPushButton *button : {chooser.ok, chooser.cancel, chooser.remove})
        button->move(buttonLeft, button->y());
}

void setListItems(QListWidget *list, const QStringList &names)
{
    list->clear();
    list->addItems(names);
}

} // namespace quill
