#pragma once

#include <QPushButton>
#include <QStringList>
#include <QTimer>

namespace quill {

// The run view's error bar (btnRunError): the page's first error, wrapped to
// as many lines as it needs within the height the view gives it, and under it
// the count of the errors that came after ("and 3 more"). An error too long
// for the bar ends in an ellipsis, and the last line says how to read all of
// it: holding the bar for HoldMilliseconds emits held() instead of a click.
//
//   bar->showError("cat:12: Uncaught TypeError: ...", 3);
//   bar->setGeometry(0, top, width, std::min(bar->heightForWidth(width), limit));
class RunErrorBar : public QPushButton {
    Q_OBJECT

public:
    static constexpr int HoldMilliseconds = 600;
    static constexpr int MinimumHeight = 30;

    explicit RunErrorBar(QWidget *parent = nullptr);

    // The first error ("" for none) and the count of further errors.
    void showError(const QString &text, int furtherErrors);
    int furtherErrors() const { return furtherErrors_; }

    // The height that shows the whole error at this width.
    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return true; }

    // The lines the bar shows at its present size, the last one the count or
    // the hint when there is one.
    QStringList shownLines() const;

signals:
    // The bar was held down rather than tapped.
    void held();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // The error broken into lines that fit the width.
    QStringList wrapped(int width) const;
    QStringList linesFor(int width, int height) const;

    int furtherErrors_ = 0;
    QTimer hold_;
    bool heldDown_ = false;
};

} // namespace quill
