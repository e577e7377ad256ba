#pragma once

#include "sprite/celdata.h"
#include "sprite/palette.h"
#include "sprite/previewanimation.h"

#include <QTimer>
#include <QWidget>
#include <functional>

namespace quill {

// The preview (pntView): the cel filling the widget's square (the layout
// makes it twice the sprite's size, or another whole scale), index 0 in
// Palette[0]. A tap toggles the animation: the cels in
// order at 8 frames per second; the preview asks `celAt` for each frame.
class SpritePreview : public QWidget {
    Q_OBJECT

public:
    explicit SpritePreview(QWidget *parent = nullptr);

    // celAt(i) gives the pixels of cel i; celCount() the cels in use.
    void setSource(std::function<ConstCelPixels(int)> celAt, std::function<int()> celCount);
    void showCel(int currentCel, int size, const Palette &palette);

    const PreviewAnimation &animation() const { return animation_; }
    void toggleAnimation();
    void stopAnimation();
    // While paused (the page is not shown) the animation holds its frame.
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    bool ticking() const { return timer_.isActive(); }

signals:
    void tapped();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;
    // The preview is hidden with its page; the animation waits meanwhile.
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void tick();

    std::function<ConstCelPixels(int)> celAt_;
    std::function<int()> celCount_;
    int current_ = 0;
    int size_ = 0;
    Palette palette_{};
    PreviewAnimation animation_;
    QTimer timer_;
    bool paused_ = false;
};

} // namespace quill
