#pragma once

#include "editor/codepainter.h"

#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>

namespace quill {

class CodeBuffer;
class ReaderText;

// The code view pntProg: paints the buffer's visible cells from the font
// sheet and reports the pointer and the wheel in view pixels. A tap on it
// takes the keyboard focus from any edit; Tab never moves the focus away
// from it, so the keys it does not use reach the window.
//
// Assistive technology reads it as an editable text (CodeViewAccessible);
// while it listens, every repaint tells it what changed since the last one:
// the text, the cursor and the selection.
class CodeView : public QWidget {
    Q_OBJECT

public:
    explicit CodeView(QWidget *parent = nullptr);
    ~CodeView() override;

    // The text to show and the sheet to draw it with; until both are set the
    // view is black. The view repaints whenever the buffer announces a change.
    void setBuffer(const CodeBuffer *buffer);
    const CodeBuffer *buffer() const { return buffer_; }
    void setFontSheet(const QImage &sheet);
    void setCellSize(int cellSize) { cellSize_ = cellSize; }
    int cellSize() const { return cellSize_; }

signals:
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);
    // Only while the left button or a touch is held.
    void mouseDragged(Qt::KeyboardModifiers modifiers, double x, double y);
    void mouseReleased();
    // The wheel turned: Qt's angle in eighths of a degree (120 a notch).
    void wheelTurned(QPoint angleDelta, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Tells assistive technology what changed since it was last told.
    void announceChanges();

    // What assistive technology was last told.
    struct Announced {
        const CodeBuffer *buffer = nullptr;
        quint64 revision = 0;
        QStringList lines;
        int cursor = 0;
        std::optional<std::pair<int, int>> selection;
    };
    std::optional<Announced> announced_;
    std::unique_ptr<ReaderText> reader_;
    const CodeBuffer *readerBuffer_ = nullptr;
    quint64 readerRevision_ = 0;

    const CodeBuffer *buffer_ = nullptr;
    std::unique_ptr<CodePainter> painter_;
    int cellSize_ = 12;
};

} // namespace quill
