#include "editor/picklist.h"

#include "base/controls/controls.h"

#include <QListWidget>
#include <QPushButton>
#include <QScroller>

namespace quill {

PickList::PickList(QWidget *parent) : QWidget(parent)
{
    named(this, "pnlSelect", QStringLiteral("Pick list panel"));
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    hide();

    lstSelect = named(new QListWidget(this), "lstSelect", QStringLiteral("Pick list"));
    lstSelect->setFocusPolicy(Qt::NoFocus);
    lstSelect->setSelectionMode(QAbstractItemView::SingleSelection);
    // A finger drags a long list instead of selecting along the way.
    QScroller::grabGesture(lstSelect->viewport(), QScroller::TouchGesture);
    btnSelCancel = makeButton(this, "btnSelCancel", QStringLiteral("X"));
    btnSelCancel->setFocusPolicy(Qt::NoFocus);

    connect(lstSelect, &QListWidget::itemClicked, this, &PickList::lstSelectClick);
    connect(btnSelCancel, &QPushButton::clicked, this, &PickList::btnSelCancelClick);
}

void PickList::setItems(const QStringList &items)
{
    // The signal that reports a choice is a click, so neither clearing nor
    // filling the box can be taken for one.
    lstSelect->clear();
    lstSelect->addItems(items);
}

QStringList PickList::items() const
{
    QStringList texts;
    texts.reserve(lstSelect->count());
    for (int row = 0; row < lstSelect->count(); ++row)
        texts.append(lstSelect->item(row)->text());
    return texts;
}

void PickList::OpenPickList(PickMode mode)
{
    mode_ = mode;
    lstSelect->scrollToTop();
    show();
    raise();
}

void PickList::layoutBox(int boxWidth, int closeSize)
{
    lstSelect->setGeometry(0, 0, boxWidth, height());
    btnSelCancel->setGeometry(boxWidth, 0, closeSize, closeSize);
}

void PickList::lstSelectClick(QListWidgetItem *item)
{
    if (!item)
        return;
    emit itemChosen(mode_, lstSelect->row(item), item->text());
}

void PickList::btnSelCancelClick()
{
    hide();
}

} // namespace quill
