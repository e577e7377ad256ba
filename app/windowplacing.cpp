#include "app/windowplacing.h"

#include "base/quillerror.h"
#include "app/windowplace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace quill {

WindowPlace restoreWindowPlace(QWidget &window, const QString &path, int designTop)
{
    const WindowPlace kept = readWindowPlace(path);
    window.setWindowState(Qt::WindowNoState);
    QList<QRect> screens;
    for (const QScreen *each : QGuiApplication::screens())
        screens << each->availableGeometry();
    const std::optional<QRect> area = kept.geometry ? placeOnScreens(*kept.geometry, screens) : std::nullopt;
    if (area) {
        window.setGeometry(*area);
    } else {
        if (kept.geometry) {
            const QScreen *primary = QGuiApplication::primaryScreen();
            window.resize(primary ? kept.geometry->size().boundedTo(primary->availableSize()) : kept.geometry->size());
        }
        window.move(0, designTop);
    }
    if (kept.maximized)
        window.setWindowState(Qt::WindowMaximized);
    return kept;
}

void keepWindowPlace(const QWidget &window, bool keyboardHidden, const QString &path)
{
    WindowPlace place;
    place.geometry = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    place.maximized = window.windowState() & Qt::WindowMaximized;
    place.keyboardHidden = keyboardHidden;
    try {
        writeWindowPlace(path, place);
    } catch (const QuillError &) {
    }
}

} // namespace quill
