#include "app/windowplace.h"

#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "base/textfile.h"
#include "base/wholenumber.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace quill {

namespace {

// How much of the client area's top must lie on a screen for the window to
// count as on it: enough to reach the title bar above it.
constexpr int TopStripHeight = 32;
constexpr int TopStripWidth = 64;

std::optional<int> number(const SettingsStore &store, const char *name)
{
    return toWholeNumber(store.value(QString::fromLatin1(name)));
}

} // namespace

WindowPlace readWindowPlace(const QString &path)
{
    WindowPlace place;
    if (!QFileInfo(path).isFile())
        return place;
    SettingsStore store;
    try {
        store.load(path);
    } catch (const QuillError &) {
        return place;
    }
    const auto left = number(store, "left"), top = number(store, "top");
    const auto width = number(store, "width"), height = number(store, "height");
    if (left && top && width && height && *width > 0 && *height > 0)
        place.geometry = QRect(*left, *top, *width, *height);
    place.maximized = store.value(QStringLiteral("maximized")) == QLatin1String("1");
    place.keyboardHidden = store.value(QStringLiteral("keyboard")) == QLatin1String("hidden");
    return place;
}

void writeWindowPlace(const QString &path, const WindowPlace &place)
{
    const QString folder = QFileInfo(path).absolutePath();
    makeFolder(folder);
    SettingsStore store;
    if (place.geometry) {
        store.setValue(QStringLiteral("left"), QString::number(place.geometry->left()));
        store.setValue(QStringLiteral("top"), QString::number(place.geometry->top()));
        store.setValue(QStringLiteral("width"), QString::number(place.geometry->width()));
        store.setValue(QStringLiteral("height"), QString::number(place.geometry->height()));
    }
    store.setValue(QStringLiteral("maximized"), place.maximized ? QStringLiteral("1") : QStringLiteral("0"));
    store.setValue(QStringLiteral("keyboard"),
                   place.keyboardHidden ? QStringLiteral("hidden") : QStringLiteral("shown"));
    store.save(path);
}

std::optional<QRect> placeOnScreens(const QRect &kept, const QList<QRect> &screens)
{
    if (kept.width() <= 0 || kept.height() <= 0)
        return std::nullopt;
    const QRect strip(kept.left(), kept.top(), kept.width(), std::min(TopStripHeight, kept.height()));
    for (const QRect &screen : screens) {
        const QRect shared = strip.intersected(screen);
        if (shared.height() != strip.height() || shared.width() < std::min(TopStripWidth, kept.width()))
            continue;
        // Larger than the screen in a direction: as large as the screen and
        // at its edge in that direction.
        QRect place = kept;
        if (kept.width() > screen.width())
            place.setRect(screen.left(), place.top(), screen.width(), place.height());
        if (kept.height() > screen.height())
            place.setRect(place.left(), screen.top(), place.width(), screen.height());
        return place;
    }
    return std::nullopt;
}

} // namespace quill
