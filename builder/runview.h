#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace quill {

// The run overlay above the pages (pnlRun): the run bar with Close, Resize
// and the width field, and the area where the page runs. The web view is
// made at the first Run, so that starting the program loads nothing of the
// web engine.
class RunView : public QWidget {
    Q_OBJECT

public:
    static constexpr int BarHeight = 45;
    static constexpr int ButtonWidth = 73;

    explicit RunView(QWidget *parent = nullptr);

    // Fills the parent's client area, the bar across its top.
    void layoutView(const QRect &clientArea);

    QWidget *bar() const { return pnlRunBtns; }
    QPushButton *closeButton() const { return btnRunClose; }
    QPushButton *resizeButton() const { return btnRunResize; }
    QLineEdit *widthEdit() const { return edtRunWidth; }

private:
    QWidget *pnlRunBtns = nullptr;
    QPushButton *btnRunClose = nullptr;
    QPushButton *btnRunResize = nullptr;
    QLineEdit *edtRunWidth = nullptr;
};

} // namespace quill
