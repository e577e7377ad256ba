#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <algorithm>

class QAbstractItemView;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace quill {

// The code and sprite file choosers: a sorted list on the left, the buttons
// in a column to its right.
inline constexpr int ChooserListWidth = 217;
inline constexpr int ChooserButtonLeft = ChooserListWidth + 40;
inline constexpr int ChooserButtonWidth = 88;
inline constexpr int ChooserButtonHeight = 49;

// List rows are at least this many pixels high: room for a fingertip.
inline constexpr int TouchRowHeight = 32;

// Every row of the list at least TouchRowHeight pixels high.
void useTouchRows(QAbstractItemView *list);

// The width in which the list shows its longest item whole, with its frame,
// its items' margins and room for a vertical scroll bar.
int widthForItems(const QListWidget *list);

// A list's width that fits its longest item (needed): never narrower than
// the design's width, never wider than the room its panel leaves (unless the
// room is narrower than the design's width, which then wins).
inline int fittedListWidth(int needed, int designWidth, int room)
{
    return std::clamp(needed, designWidth, std::max(designWidth, room));
}

// Gives a control its design name and the name that assistive technology
// reads; returns the control for chaining.
template <typename Control>
Control *named(Control *control, const char *objectName, const QString &accessibleName)
{
    control->setObjectName(QString::fromLatin1(objectName));
    control->setAccessibleName(accessibleName);
    return control;
}

// A push button with its design name, caption and geometry; its accessible
// name is the caption. It never takes the keyboard focus.
QPushButton *makeButton(QWidget *parent, const char *objectName, const QString &caption,
                        int left = 0, int top = 0, int width = 0, int height = 0);

// A one-line edit with its design name, accessible name and text. It holds
// one line whatever comes in: line breaks typed, pasted or set into it
// (base/onelinetext.h) are removed as they arrive, so what Apply or Save
// reads from it is one line. Every page's one-line edits are made here.
QLineEdit *makeLineEdit(QWidget *parent, const char *objectName, const QString &accessibleName,
                        const QString &text = QString());

// A panel: a plain container; an opaque one hides what lies beneath it.
QWidget *makePanel(QWidget *parent, const char *objectName, const QString &accessibleName,
                   bool opaque = false);

// The design names of one file chooser's controls.
struct FileChooserNames {
    const char *panel;
    const char *list;
    const char *ok;
    const char *cancel;
    const char *remove;
};

struct FileChooser {
    QWidget *panel;
    QListWidget *list;
    QPushButton *ok;
    QPushButton *cancel;
    QPushButton *remove;  // hidden: files are never deleted
};

// A hidden, opaque file chooser on the page: the list and the OK, Cancel and
// (hidden) Delete buttons, none of which takes the keyboard focus; a finger
// scrolls the list (scrollByFinger). The one builder of both pages' choosers.
FileChooser makeFileChooser(QWidget *page, const FileChooserNames &names,
                            const QString &panelLabel, const QString &listLabel);

// Puts the chooser over the area it covers, the list at the full height:
// ChooserListWidth wide with the buttons to its right, or, with fitNames,
// as wide as its longest name needs within the area (the buttons follow it).
void layoutFileChooser(const FileChooser &chooser, const QRect &area, bool fitNames = false);

// An open chooser closes as its Cancel does (Escape); returns whether it was open.
bool cancelFileChooser(const FileChooser &chooser);

// Replaces the list's items by the names in the order given (ListFiles
// gives the one order of names); the list box never sorts on its own, whose
// order would put "B" before "a".
void setListItems(QListWidget *list, const QStringList &names);

} // namespace quill
