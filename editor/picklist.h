#pragma once

#include "editor/pickmode.h"

#include <QStringList>
#include <QWidget>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace quill {

// The one list overlay both editors offer choices in (pnlSelect, holding
// lstSelect and the "X" button btnSelCancel). A command fills it and opens it
// in a mode; a tap on an item is handed, with the mode, to whoever handles
// itemChosen, and that handler decides whether the list closes.
//
//   pickList->setItems(matches);
//   pickList->OpenPickList(PickMode::Keywords);
//
// The list is not modal, and it never takes the keyboard focus: a focused
// list would jump to the item starting with a typed letter, so one key would
// both type into the code and pick an item. Hardware keys keep reaching the
// code; a choice is a tap or a click.
class PickList : public QWidget {
    Q_OBJECT

public:
    explicit PickList(QWidget *parent = nullptr);

    // Replaces the items; no selection remains, and refilling is never a choice.
    void setItems(const QStringList &items);
    QStringList items() const;

    // PickMode := mode, and the list shows.
    void OpenPickList(PickMode mode);
    PickMode pickMode() const { return mode_; }

    // Places the list box and the close button in the panel: the list
    // boxWidth wide, or, with fitItems, as wide as its longest item needs
    // (at least DesignBoxWidth, at most boxWidth); the panel then ends at
    // the close button. Refilling the list fits it again.
    void layoutBox(int boxWidth, int closeSize, bool fitItems = false);
    static constexpr int DesignBoxWidth = 277;

    QListWidget *list() const { return lstSelect; }
    QPushButton *cancelButton() const { return btnSelCancel; }

signals:
    // A tap on an item: its index and text, and the mode the list was opened in.
    void itemChosen(quill::PickMode mode, int index, const QString &item);

private:
    void lstSelectClick(QListWidgetItem *item);
    void btnSelCancelClick();

    QListWidget *lstSelect = nullptr;
    QPushButton *btnSelCancel = nullptr;
    void placeBox();

    PickMode mode_ = PickMode::None;
    int boxWidth_ = 0;
    int closeSize_ = 0;
    bool fitItems_ = false;
};

} // namespace quill
