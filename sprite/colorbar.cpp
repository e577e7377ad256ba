#include "sprite/colorbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTouchEvent>

namespace quill {

namespace {

// A rectangle from its left, top, right and bottom edges (right and bottom
// outside it).
QRect edges(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

} // namespace

ColorBar::ColorBar(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_AcceptTouchEvents);
}

void ColorBar::showPalette(const Palette &palette, int selectedColor, int swatchSize)
{
    palette_ = palette;
    selected_ = selectedColor;
    swatch_ = swatchSize;
    update();
}

void ColorBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int c = swatch_;
    const int h = c / 2;
    const int a = selected_ == 0 ? 0 : 2;
    const QColor dark = QColor::fromRgba(0xFF333333u), light = QColor::fromRgba(0xFF666666u);
    painter.fillRect(edges(a, a, h, h), dark);
    painter.fillRect(edges(h, h, c - a, c - a), dark);
    painter.fillRect(edges(h, a, c - a, h), light);
    painter.fillRect(edges(a, h, h, c - a), light);
    for (int i = 1; i < PaletteSize; ++i) {
        const QColor colour = QColor::fromRgba(palette_[i]);
        if (i == selected_)
            painter.fillRect(edges(i * c, 0, (i + 1) * c - 2, c - 2), colour);
        else
            painter.fillRect(edges(i * c + 2, 2, (i + 1) * c - 4, c - 4), colour);
    }
}

void ColorBar::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->position().x());
}

bool ColorBar::event(QEvent *event)
{
    if (event->type() == QEvent::TouchBegin) {
        auto *touch = static_cast<QTouchEvent *>(event);
        if (!touch->points().isEmpty())
            emit pressed(touch->points().first().position().x());
        event->accept();
        return true;
    }
    if (event->type() == QEvent::TouchUpdate || event->type() == QEvent::TouchEnd) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

} // namespace quill
