#include "base/controls/touchtaps.h"

#include <QMouseEvent>
#include <QPointingDevice>
#include <QWidget>

namespace quill {

void TouchTaps::watch(QWidget *widget)
{
    widget->installEventFilter(this);
}

bool TouchTaps::eventFilter(QObject *watched, QEvent *event)
{
    // A widget that takes no touch events gets the finger as a mouse made by
    // Qt, and that mouse is the touch screen. A tap soon after another is a
    // double click.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        const QPointingDevice *device = static_cast<QMouseEvent *>(event)->pointingDevice();
        if (device && device->type() == QInputDevice::DeviceType::TouchScreen)
            emit tapped(static_cast<QWidget *>(watched));
    }
    return false;
}

} // namespace quill
