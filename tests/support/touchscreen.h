#pragma once

#include <QApplication>
#include <QPointingDevice>
#include <QTest>
#include <QWidget>

#include <map>
#include <optional>

namespace quill::testsupport {

// Fingers on a touch screen: a touch-screen pointing device registered with
// the window system (QTest::createTouchDevice), and touch events through the
// window system into the window, as a screen's driver sends them. Every event
// carries every finger that is down; the fingers not named are stationary.
//
//   Fingers fingers(window);
//   fingers.press(0, keyA).press(1, keyB).send();   // two fingers in one event
//   fingers.release(0, keyA).send();
//   fingers.tap(button);
class Fingers {
public:
    explicit Fingers(QWidget *window) : window_(window) {}

    static QPointingDevice *device()
    {
        static QPointingDevice *const screen = QTest::createTouchDevice();
        return screen;
    }

    // Stage a finger's change at a point of the widget (its centre when none
    // is given); send() delivers the staged changes as one event.
    Fingers &press(int finger, QWidget *widget, std::optional<QPoint> at = std::nullopt)
    {
        sequence().press(finger, pointIn(widget, at), window_);
        staged_[finger] = true;
        return *this;
    }
    Fingers &move(int finger, QWidget *widget, std::optional<QPoint> at = std::nullopt)
    {
        sequence().move(finger, pointIn(widget, at), window_);
        staged_[finger] = true;
        return *this;
    }
    Fingers &release(int finger, QWidget *widget, std::optional<QPoint> at = std::nullopt)
    {
        sequence().release(finger, pointIn(widget, at), window_);
        staged_[finger] = false;
        return *this;
    }

    void send()
    {
        for (const auto &[finger, isDown] : down_)
            if (isDown && !staged_.count(finger))
                sequence().stationary(finger);
        for (const auto &[finger, isDown] : staged_)
            down_[finger] = isDown;
        staged_.clear();
        sequence().commit();
        QApplication::processEvents();
    }

    // A tap by a finger of its own.
    void tap(QWidget *widget, std::optional<QPoint> at = std::nullopt)
    {
        const int finger = nextTapFinger_++;
        press(finger, widget, at).send();
        release(finger, widget, at).send();
    }

    // Forgets the fingers that are down without releasing them, as a
    // screen does after a touch cancel; the next event starts afresh.
    void forget()
    {
        down_.clear();
        staged_.clear();
        sequence_.reset();
    }

private:
    QTest::QTouchEventWidgetSequence &sequence()
    {
        if (!sequence_)
            sequence_.emplace(QTest::touchEvent(window_, device(), false));
        return *sequence_;
    }

    QPoint pointIn(QWidget *widget, std::optional<QPoint> at) const
    {
        return widget->mapTo(window_, at.value_or(widget->rect().center()));
    }

    QWidget *window_;
    std::optional<QTest::QTouchEventWidgetSequence> sequence_;
    std::map<int, bool> down_;
    std::map<int, bool> staged_;
    int nextTapFinger_ = 100;
};

} // namespace quill::testsupport
