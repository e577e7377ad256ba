#include "sprite/spritecanvas.h"

#include "sprite/canvasrender.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTouchEvent>

namespace quill {

SpriteCanvas::SpriteCanvas(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_AcceptTouchEvents);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void SpriteCanvas::showCel(ConstCelPixels cel, int size, int zoom, const Palette &palette)
{
    cel_ = cel;
    size_ = size;
    zoom_ = zoom;
    palette_ = palette;
    update();
}

void SpriteCanvas::paintEvent(QPaintEvent *)
{
    if (size_ < 1 || cel_.size() < static_cast<std::size_t>(size_) * size_)
        return;
    // Made in device pixels: drawn one to one, never scaled again.
    renderCanvas(picture_, cel_, size_, zoom_, palette_, devicePixelRatioF());
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void SpriteCanvas::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->position());
}

void SpriteCanvas::mouseMoveEvent(QMouseEvent *event)
{
    emit moved(event->position(), event->buttons().testFlag(Qt::LeftButton));
}

bool SpriteCanvas::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate: {
        auto *touch = static_cast<QTouchEvent *>(event);
        if (!touch->points().isEmpty()) {
            const QEventPoint &point = touch->points().first();
            if (point.state() == QEventPoint::Pressed)
                emit pressed(point.position());
            else if (point.state() == QEventPoint::Updated)
                emit moved(point.position(), true);
        }
        event->accept();
        return true;
    }
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        event->accept();
        return true;
    default:
        return QWidget::event(event);
    }
}

} // namespace quill
