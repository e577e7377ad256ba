#pragma once

// Start-up probes: each ends its process as soon as its window has painted
// for the first time, so the process's wall time is the start-up time.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

class QuitOnFirstPaint : public QObject {
public:
    // closeWindow: close the window instead of only quitting, so that its
    // close handler runs too.
    explicit QuitOnFirstPaint(QWidget *window, bool closeWindow = false)
        : window_(window), closeWindow_(closeWindow)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Paint && !done_) {
            done_ = true;
            if (closeWindow_)
                QTimer::singleShot(0, window_, &QWidget::close);
            else
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    QWidget *window_;
    bool closeWindow_;
    bool done_ = false;
};
