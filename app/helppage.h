#pragma once

#include "app/layoutscreen.h"

#include <QWidget>

class QPlainTextEdit;

namespace quill {

// The Help page (TabItem3): one read-only text box, Memo1, that fills the
// page; on a wide page the text keeps to a column it can be read in.
//
//   HelpPage page;
//   page.showHelp(helpText(paths));
//   page.layoutPage(layout);
class HelpPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int HelpPixelSize = 20;

    explicit HelpPage(QWidget *parent = nullptr);

    void showHelp(const QString &text);
    void layoutPage(const LayoutResult &layout);

    QPlainTextEdit *memo() const;

private:
    class HelpMemo;
    HelpMemo *Memo1 = nullptr;
};

} // namespace quill
