#include "base/controls/fingerscroll.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPointer>
#include <QScroller>
#include <QStyleHints>
#include <QTouchEvent>

namespace quill {

namespace {

class FingerScroll : public QObject {
public:
    explicit FingerScroll(QWidget *viewport) : QObject(viewport), viewport_(viewport)
    {
        viewport->setAttribute(Qt::WA_AcceptTouchEvents);
        viewport->installEventFilter(this);
        // Made here, driven by the touch events below: the scroller never
        // sees a mouse, so nothing reaches the items while it scrolls.
        QScroller::scroller(viewport);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != viewport_)
            return false;
        switch (event->type()) {
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            touch(static_cast<QTouchEvent *>(event));
            return true;
        case QEvent::TouchCancel:
            event->accept();
            if (finger_ >= 0)
                QScroller::scroller(viewport_)->stop();
            finger_ = -1;
            return true;
        default:
            return false;
        }
    }

private:
    void touch(QTouchEvent *event)
    {
        // Accepted, so that Qt makes no mouse events of the finger.
        event->accept();
        QScroller *scroller = QScroller::scroller(viewport_);
        if (event->type() == QEvent::TouchBegin)
            finger_ = -1;
        for (const QEventPoint &point : event->points()) {
            const QPointF position = point.position();
            const qint64 time = qint64(event->timestamp());
            if (point.state() == QEventPoint::State::Pressed && finger_ < 0) {
                finger_ = point.id();
                start_ = position;
                dragged_ = false;
                wasGliding_ = scroller->state() == QScroller::Scrolling;
                scroller->handleInput(QScroller::InputPress, position, time);
                continue;
            }
            if (point.id() != finger_)
                continue;
            if (point.state() == QEventPoint::State::Updated) {
                if ((position - start_).manhattanLength() > QGuiApplication::styleHints()->startDragDistance())
                    dragged_ = true;
                scroller->handleInput(QScroller::InputMove, position, time);
            } else if (point.state() == QEventPoint::State::Released) {
                finger_ = -1;
                scroller->handleInput(QScroller::InputRelease, position, time);
                if (!dragged_ && !wasGliding_ && scroller->state() != QScroller::Scrolling)
                    tap(position, event->pointingDevice());
            }
        }
        // The sequence is over: a finger it did not release has vanished.
        if (event->type() == QEvent::TouchEnd)
            finger_ = -1;
    }

    // A tap is a click where it began; the second tap on the same spot soon
    // after is a double click.
    void tap(QPointF position, const QPointingDevice *device)
    {
        const QStyleHints *hints = QGuiApplication::styleHints();
        const bool second = lastTap_.isValid() && lastTap_.elapsed() < hints->mouseDoubleClickInterval()
                            && (start_ - lastTapAt_).manhattanLength() <= hints->startDragDistance();
        if (second) {
            lastTap_.invalidate();
        } else {
            lastTap_.start();
            lastTapAt_ = start_;
        }
        const QPointer<QWidget> viewport = viewport_;
        send(QEvent::MouseButtonPress, start_, device);
        if (second && viewport)
            send(QEvent::MouseButtonDblClick, start_, device);
        if (viewport)
            send(QEvent::MouseButtonRelease, position, device);
    }

    void send(QEvent::Type type, QPointF position, const QPointingDevice *device)
    {
        const bool releasing = type == QEvent::MouseButtonRelease;
        QMouseEvent click(type, position, viewport_->mapToGlobal(position), Qt::LeftButton,
                          releasing ? Qt::NoButton : Qt::LeftButton, QGuiApplication::keyboardModifiers(), device);
        QApplication::sendEvent(viewport_, &click);
    }

    QWidget *viewport_;
    int finger_ = -1;
    QPointF start_;
    bool dragged_ = false;
    bool wasGliding_ = false;
    QElapsedTimer lastTap_;
    QPointF lastTapAt_;
};

} // namespace

void scrollByFinger(QAbstractItemView *list)
{
    // Kinetic scrolling moves the list by pixels, not by whole rows.
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    new FingerScroll(list->viewport());
}

} // namespace quill
