#include "editor/keybutton.h"

#include "editor/keycaptions.h"
#include "editor/keyrepeat.h"

#include <QStyleOptionButton>

namespace quill {

KeyButton::KeyButton(QWidget *parent) : QPushButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoRepeat(true);
    // Qt counts its delay up to the first repeat itself.
    setAutoRepeatDelay(KeyRepeat::FirstMs);
    setAutoRepeatInterval(KeyRepeat::IntervalMs);
    connect(this, &QPushButton::clicked, this, [this] { emit keyClicked(caption_); });
}

void KeyButton::setCaption(const QString &caption)
{
    caption_ = caption;
    setText(displayedCaption(caption));
    // The button text is in the escaped form ("&&" shows one ampersand); a
    // screen reader gets the character itself, and a word for the space bar.
    const QString spoken = QString(caption).replace(QStringLiteral("&&"), QStringLiteral("&"));
    setAccessibleName(spoken == QStringLiteral(" ") ? QStringLiteral("Space") : spoken);
}

void KeyButton::mouseReleaseEvent(QMouseEvent *event)
{
    QPushButton::mouseReleaseEvent(event);
    // Disabling and enabling again clears the pressed look that a touch
    // screen would otherwise leave on the key.
    setEnabled(false);
    setEnabled(true);
}

void KeyButton::setTouchDown(bool down)
{
    if (touchDown_ == down)
        return;
    touchDown_ = down;
    update();
}

void KeyButton::initStyleOption(QStyleOptionButton *option) const
{
    QPushButton::initStyleOption(option);
    // Drawn as the button draws itself held down: setDown() would also
    // start the mouse's repeat, and fingers repeat on their own.
    if (touchDown_) {
        option->state |= QStyle::State_Sunken;
        option->state &= ~QStyle::State_Raised;
    }
}

} // namespace quill
