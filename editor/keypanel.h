#pragma once

#include "editor/keytouches.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

class QTouchEvent;

namespace quill {

class KeyButton;

// The key panel pnlKeys: it holds the KeyButtons and takes every finger
// that touches them, so that each finger is its own key press (KeyTouches
// says when a key types, repeats and shows pressed) and no finger reaches a
// key as a mouse. A finger's tap or repeat makes its key click, so taps and
// clicks reach the window by the same signal. The mouse works on the keys
// themselves, as on any button.
//
// For a field outside its page, the panel can float over the window at the
// foot of the client area until the field is done:
//
//   keys->floatOver(window, QRect(0, window->height() - keys->height(), keys->width(), keys->height()));
//   ...
//   keys->dock();   // back on its page, shown or hidden as the page asked meanwhile
//
// A layout pass that moves the panel on its page docks it first.
class KeyPanel : public QWidget {
    Q_OBJECT

public:
    explicit KeyPanel(QWidget *parent = nullptr);

    // The keys in the panel, in the order they were made.
    std::vector<KeyButton *> keys() const;

    // The clock the touches are timed by, in milliseconds (by default the
    // time since the panel was made); a test sets its own.
    void setClock(std::function<qint64()> now) { now_ = std::move(now); }

    void floatOver(QWidget *host, const QRect &place);
    void dock();
    bool floating() const { return home_ != nullptr; }

    // While floating, showing and hiding is what the page asks for when the
    // panel is back; the floating panel stays shown.
    void setVisible(bool visible) override;

protected:
    bool event(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void touch(QTouchEvent *event);
    int keyAt(QPointF position) const;
    // Shows the keys held, schedules the next repeat and clicks the keys due.
    void afterTouch();
    // Lets go of every finger: nothing more types.
    void letGoOfAll();
    qint64 now() const { return now_ ? now_() : clock_.elapsed(); }

    KeyTouches touches_;
    QElapsedTimer clock_;
    std::function<qint64()> now_;
    QTimer repeat_;
    std::vector<QPointer<KeyButton>> keysTouched_;  // the keys as the touches numbered them
    // The fingers down on the panel, with the time of the last event that
    // reported them.
    std::map<int, quint64> lastReported_;
    // The panel's time of the screen's last report: the events that one
    // report makes (one per key it touched) share it.
    quint64 reportTime_ = 0;
    qint64 reportNow_ = 0;

    QPointer<QWidget> home_;  // the page while floating
    QRect homeGeometry_;
    bool homeVisible_ = true;
    bool moving_ = false;
};

} // namespace quill
