#pragma once

#include "sprite/palette.h"
#include "sprite/celdata.h"

#include <QImage>
#include <QWidget>

namespace quill {

// The sprite canvas (pntMain): paints the cel it is shown as zoomed cells and
// reports presses and moves of the mouse or of a touch point in canvas
// coordinates. A touch counts as the left button held.
class SpriteCanvas : public QWidget {
    Q_OBJECT

public:
    explicit SpriteCanvas(QWidget *parent = nullptr);

    // What to paint; the cel's pixels must outlive the next paint.
    void showCel(ConstCelPixels cel, int size, int zoom, const Palette &palette);

signals:
    void pressed(QPointF position);
    void moved(QPointF position, bool leftHeld);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    ConstCelPixels cel_;
    int size_ = 0;
    int zoom_ = 0;
    Palette palette_{};
    QImage picture_;
};

} // namespace quill
