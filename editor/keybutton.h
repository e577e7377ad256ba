#pragma once

#include <QPushButton>

namespace quill {

// One key of the on-screen keyboard. It keeps the caption that it passes to
// RunKeyCommand ("&&" for the ampersand key) apart from the text it shows,
// never takes the keyboard focus, repeats its click while held (a 500 ms
// delay, after which the 100 ms interval starts: the first repeat comes
// 600 ms after the press) and drops its pressed look when released.
class KeyButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption)

public:
    static constexpr int RepeatDelayMs = 500;
    static constexpr int RepeatIntervalMs = 100;
    static constexpr int FirstRepeatMs = RepeatDelayMs + RepeatIntervalMs;

    explicit KeyButton(QWidget *parent = nullptr);

    const QString &caption() const { return caption_; }
    // Sets the caption, the text it shows and its accessible name.
    void setCaption(const QString &caption);

signals:
    // Every click, repeated ones included, with the caption shown at that moment.
    void keyClicked(const QString &caption);

protected:
    // Only the pointer's real release counts: auto-repeat also emits
    // released() between its clicks, and disabling the button there would end
    // the repeat.
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString caption_;
};

} // namespace quill
