#include "sprite/spritepreview.h"

#include "sprite/canvasrender.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTouchEvent>

namespace quill {

SpritePreview::SpritePreview(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_AcceptTouchEvents);
    timer_.setInterval(PreviewAnimation::TickMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &SpritePreview::tick);
}

void SpritePreview::setSource(std::function<ConstCelPixels(int)> celAt, std::function<int()> celCount)
{
    celAt_ = std::move(celAt);
    celCount_ = std::move(celCount);
}

void SpritePreview::showCel(int currentCel, int size, const Palette &palette)
{
    current_ = currentCel;
    size_ = size;
    palette_ = palette;
    update();
}

void SpritePreview::toggleAnimation()
{
    animation_.toggle(celCount_ ? celCount_() : 0);
    if (animation_.playing() && !paused_)
        timer_.start();
    else
        timer_.stop();
    update();
}

void SpritePreview::stopAnimation()
{
    if (!animation_.playing())
        return;
    animation_.stop();
    timer_.stop();
    update();
}

void SpritePreview::setPaused(bool paused)
{
    paused_ = paused;
    if (paused_)
        timer_.stop();
    else if (animation_.playing())
        timer_.start();
}

void SpritePreview::tick()
{
    animation_.tick(celCount_ ? celCount_() : 0);
    update();
}

void SpritePreview::paintEvent(QPaintEvent *)
{
    if (!celAt_ || size_ < 1)
        return;
    const ConstCelPixels cel = celAt_(animation_.shownCel(current_));
    if (cel.size() < static_cast<std::size_t>(size_) * size_)
        return;
    // The layout gives the preview a square of the size to show: twice the
    // sprite's in portrait where it fits, a whole scale of it in landscape.
    // Nearest-neighbour either way.
    const int side = std::min(width(), height());
    QPainter painter(this);
    painter.drawImage(QRect(0, 0, side, side), renderPreview(cel, size_, palette_));
}

void SpritePreview::mousePressEvent(QMouseEvent *)
{
    emit tapped();
}

bool SpritePreview::event(QEvent *event)
{
    if (event->type() == QEvent::TouchBegin) {
        emit tapped();
        event->accept();
        return true;
    }
    if (event->type() == QEvent::TouchUpdate || event->type() == QEvent::TouchEnd) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void SpritePreview::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    setPaused(false);
}

void SpritePreview::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    setPaused(true);
}

} // namespace quill
