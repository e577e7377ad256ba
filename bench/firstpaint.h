#pragma once

// Start-up probes: each writes "painted" on standard output as soon as its
// window has painted for the first time and has been flushed to the display
// (the event loop's next turn), then ends. The observer (startup.sh) takes
// the time at which that line arrives, so what the process does on its way
// out is not part of the start-up time.
//
// With QUILL_PROBE_IDLE_MS set, the probe instead stays idle that many
// milliseconds after the first paint, prints its resident memory in KiB
// (VmRSS) on standard output and then ends: the idle memory of a started
// window.

#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>

class QuitOnFirstPaint : public QObject {
public:
    // closeWindow: close the window instead of only quitting, so that its
    // close handler runs too.
    explicit QuitOnFirstPaint(QWidget *window, bool closeWindow = false)
        : window_(window), closeWindow_(closeWindow)
    {
        bool ok = false;
        idleMs_ = qEnvironmentVariableIntValue("QUILL_PROBE_IDLE_MS", &ok);
        if (!ok)
            idleMs_ = -1;
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Paint && !done_) {
            done_ = true;
            QTimer::singleShot(idleMs_ < 0 ? 0 : idleMs_, window_, [this] { finish(); });
        }
        return false;
    }

private:
    void finish()
    {
        if (idleMs_ >= 0)
            std::printf("%lld\n", residentKiB());
        else
            std::printf("painted\n");
        std::fflush(stdout);
        if (closeWindow_)
            window_->close();
        else
            QCoreApplication::quit();
    }

    static long long residentKiB()
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        return -1;
    }

    QWidget *window_;
    bool closeWindow_;
    bool done_ = false;
    int idleMs_ = -1;
};
