#include "editor/picklist.h"

#include "base/controls/controls.h"
#include "base/controls/fingerscroll.h"

#include <QListWidget>
#include <QPushButton>

#include <algorithm>

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
    useTouchRows(lstSelect);
    scrollByFinger(lstSelect);
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
    if (fitItems_)
        placeBox();
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

void PickList::layoutBox(int boxWidth, int closeSize, bool fitItems)
{
    boxWidth_ = boxWidth;
    closeSize_ = closeSize;
    fitItems_ = fitItems;
    placeBox();
}

void PickList::placeBox()
{
    const int width = fitItems_ ? fittedListWidth(widthForItems(lstSelect), std::min(DesignBoxWidth, boxWidth_), boxWidth_) : boxWidth_;
    if (fitItems_)
        resize(width + closeSize_, height());
    lstSelect->setGeometry(0, 0, width, height());
    btnSelCancel->setGeometry(width, 0, closeSize_, closeSize_);
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
