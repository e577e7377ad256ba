#include "editor/codeview.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace quill {

CodeView::CodeView(QWidget *parent) : QWidget(parent)
{
    // Every pixel is painted here, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

CodeView::~CodeView() = default;

void CodeView::setFontSheet(const QImage &sheet)
{
    painter_ = std::make_unique<CodePainter>(sheet);
    update();
}

void CodeView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (!buffer_ || !painter_) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    painter_->paint(painter, *buffer_, cellSize_, size(), devicePixelRatioF());
}

void CodeView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    emit mousePressed(event->button(), event->modifiers(), event->position().x(), event->position().y());
}

void CodeView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons().testFlag(Qt::LeftButton))
        emit mouseDragged(event->modifiers(), event->position().x(), event->position().y());
}

void CodeView::mouseReleaseEvent(QMouseEvent *)
{
    emit mouseReleased();
}

bool CodeView::focusNextPrevChild(bool)
{
    return false;
}

} // namespace quill
