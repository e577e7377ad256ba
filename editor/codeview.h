#pragma once

#include <QWidget>

namespace quill {

// The code view: the program draws the code text into it from a bitmap font.
// Until text drawing joins it shows the editor's black background.
class CodeView : public QWidget {
    Q_OBJECT

public:
    explicit CodeView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace quill
