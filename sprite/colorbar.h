#pragma once

#include "sprite/palette.h"

#include <QWidget>

namespace quill {

// The colour bar (pntColor): sixteen swatches of SwatchSize, the selected one
// drawn 2 pixels larger on every side, swatch 0 as a grey checker. Reports
// the x of a press of any button or of a touch.
class ColorBar : public QWidget {
    Q_OBJECT

public:
    explicit ColorBar(QWidget *parent = nullptr);
    void showPalette(const Palette &palette, int selectedColor, int swatchSize);

signals:
    void pressed(double x);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    Palette palette_{};
    int selected_ = 0;
    int swatch_ = 0;
};

} // namespace quill
