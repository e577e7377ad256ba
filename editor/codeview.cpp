#include "editor/codeview.h"

#include <QPaintEvent>
#include <QPainter>

namespace quill {

CodeView::CodeView(QWidget *parent) : QWidget(parent)
{
    // Every pixel is painted here, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CodeView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
}

} // namespace quill
