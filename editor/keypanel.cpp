#include "editor/keypanel.h"

#include "editor/keybutton.h"

#include <QTouchEvent>

#include <algorithm>

namespace quill {

KeyPanel::KeyPanel(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_AcceptTouchEvents);
    clock_.start();
    repeat_.setSingleShot(true);
    repeat_.setTimerType(Qt::PreciseTimer);
    connect(&repeat_, &QTimer::timeout, this, [this] {
        touches_.advance(now());
        afterTouch();
    });
}

std::vector<KeyButton *> KeyPanel::keys() const
{
    const QList<KeyButton *> found = findChildren<KeyButton *>(Qt::FindDirectChildrenOnly);
    return {found.begin(), found.end()};
}

bool KeyPanel::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        touch(static_cast<QTouchEvent *>(event));
        return true;
    case QEvent::TouchCancel:
        event->accept();
        touches_.cancelAll();
        lastReported_.clear();
        afterTouch();
        return true;
    default:
        return QWidget::event(event);
    }
}

void KeyPanel::touch(QTouchEvent *event)
{
    // Accepted, so that Qt makes no mouse events of the first finger: a
    // key would type once for the finger and once for the mouse.
    event->accept();
    const std::vector<KeyButton *> keys = this->keys();
    keysTouched_.assign(keys.begin(), keys.end());
    const quint64 reported = event->timestamp();
    if (reported == 0 || reported != reportTime_) {
        reportTime_ = reported;
        reportNow_ = now();
    }
    const qint64 now = reportNow_;
    for (const QEventPoint &point : event->points()) {
        lastReported_[point.id()] = reported;
        switch (point.state()) {
        case QEventPoint::State::Pressed:
            touches_.press(point.id(), keyAt(point.position()), now);
            break;
        case QEventPoint::State::Updated:
            touches_.move(point.id(), keyAt(point.position()), now);
            break;
        case QEventPoint::State::Released:
            touches_.release(point.id(), keyAt(point.position()), now);
            lastReported_.erase(point.id());
            break;
        default:
            break;
        }
    }
    // A screen reports every finger that is down in each of its events; a
    // finger left out of a later report has vanished. (Fingers that went down
    // on several keys at once come in one event per key, at one time.)
    for (auto finger = lastReported_.begin(); finger != lastReported_.end();) {
        if (finger->second < reported) {
            touches_.cancel(finger->first);
            finger = lastReported_.erase(finger);
        } else {
            ++finger;
        }
    }
    afterTouch();
}

int KeyPanel::keyAt(QPointF position) const
{
    if (!rect().contains(position.toPoint()))
        return -1;
    auto *key = qobject_cast<KeyButton *>(childAt(position.toPoint()));
    if (!key)
        return -1;
    const auto found = std::find(keysTouched_.begin(), keysTouched_.end(), key);
    return found == keysTouched_.end() ? -1 : int(found - keysTouched_.begin());
}

void KeyPanel::afterTouch()
{
    const std::vector<int> runs = touches_.takeRuns();
    // The keys to click are fixed before any of them runs: a command may
    // hide or move the panel, which lets go of the fingers still on it.
    std::vector<QPointer<KeyButton>> clicks;
    for (const int index : runs)
        if (index >= 0 && std::size_t(index) < keysTouched_.size())
            clicks.push_back(keysTouched_[std::size_t(index)]);

    for (std::size_t index = 0; index < keysTouched_.size(); ++index)
        if (KeyButton *key = keysTouched_[index])
            key->setTouchDown(touches_.isDown(int(index)));
    if (const std::optional<qint64> next = touches_.nextRepeat())
        repeat_.start(int(std::max<qint64>(0, *next - now())));
    else
        repeat_.stop();

    for (const QPointer<KeyButton> &key : clicks)
        if (key)
            key->touchClick();
}

void KeyPanel::letGoOfAll()
{
    touches_.cancelAll();
    lastReported_.clear();
    touches_.takeRuns();
    afterTouch();
}

void KeyPanel::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    letGoOfAll();
}

void KeyPanel::floatOver(QWidget *host, const QRect &place)
{
    if (!floating()) {
        home_ = parentWidget();
        homeGeometry_ = geometry();
        homeVisible_ = !isHidden();
    }
    letGoOfAll();
    if (parentWidget() != host) {
        // Moving hides the panel on the way; that is not the page's wish.
        moving_ = true;
        setParent(host);
        moving_ = false;
    }
    setGeometry(place);
    // Over another page nothing may show between the keys.
    setAutoFillBackground(true);
    QWidget::setVisible(true);
    raise();
}

void KeyPanel::dock()
{
    if (!floating())
        return;
    letGoOfAll();
    QWidget *home = home_;
    home_ = nullptr;
    if (!home) {
        QWidget::setVisible(false);
        return;
    }
    setParent(home);
    setAutoFillBackground(false);
    setGeometry(homeGeometry_);
    QWidget::setVisible(homeVisible_);
}

void KeyPanel::setVisible(bool visible)
{
    if (floating() && !moving_) {
        homeVisible_ = visible;
        return;
    }
    QWidget::setVisible(visible);
}

} // namespace quill
