#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

namespace quill::testsupport {

// Runs the event loop until ready() holds or the time is up; returns ready().
template <typename Ready> bool waitFor(Ready ready, int milliseconds = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!ready() && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return ready();
}

} // namespace quill::testsupport
