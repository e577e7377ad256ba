#pragma once

#include "editor/codepainter.h"

#include <QWidget>
#include <memory>

namespace quill {

class CodeBuffer;

// The code view pntProg: paints the buffer's visible cells from the font
// sheet and reports the pointer in view pixels. A tap on it takes the
// keyboard focus from any edit; Tab never moves the focus away from it, so
// the keys it does not use reach the window.
class CodeView : public QWidget {
    Q_OBJECT

public:
    explicit CodeView(QWidget *parent = nullptr);
    ~CodeView() override;

    // The text to show and the sheet to draw it with; until both are set the
    // view is black.
    void setBuffer(const CodeBuffer *buffer) { buffer_ = buffer; }
    void setFontSheet(const QImage &sheet);
    void setCellSize(int cellSize) { cellSize_ = cellSize; }
    int cellSize() const { return cellSize_; }

signals:
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);
    // Only while the left button or a touch is held.
    void mouseDragged(Qt::KeyboardModifiers modifiers, double x, double y);
    void mouseReleased();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    const CodeBuffer *buffer_ = nullptr;
    std::unique_ptr<CodePainter> painter_;
    int cellSize_ = 12;
};

} // namespace quill
