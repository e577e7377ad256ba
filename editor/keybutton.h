#pragma once

#include <QPushButton>

namespace quill {

// One key of the on-screen keyboard. It keeps the caption that it passes to
// RunKeyCommand ("&&" for the ampersand key) apart from the text it shows,
// never takes the keyboard focus, repeats its click while the mouse holds it
// (as KeyRepeat times it) and drops its pressed look when released.
// Fingers reach it through its keyboard (KeyPanel), which draws it pressed
// while a finger holds it and has it click.
class KeyButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption)

public:
    explicit KeyButton(QWidget *parent = nullptr);

    const QString &caption() const { return caption_; }
    // Sets the caption, the text it shows and its accessible name.
    void setCaption(const QString &caption);

    // A finger holds the key: it shows pressed, without the mouse's repeat.
    void setTouchDown(bool down);
    bool touchDown() const { return touchDown_; }
    // A finger's tap or repeat: one click with the caption shown now.
    void touchClick() { emit keyClicked(caption_); }

signals:
    // Every click, repeated ones included, with the caption shown at that moment.
    void keyClicked(const QString &caption);

protected:
    // Only the pointer's real release counts: auto-repeat also emits
    // released() between its clicks, and disabling the button there would end
    // the repeat.
    void mouseReleaseEvent(QMouseEvent *event) override;
    void initStyleOption(QStyleOptionButton *option) const override;

private:
    QString caption_;
    bool touchDown_ = false;
};

} // namespace quill
