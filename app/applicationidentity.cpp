#include "app/applicationidentity.h"

#include <QDir>
#include <QGuiApplication>

#include <algorithm>
#include <vector>

namespace quill {

QString applicationId() { return QStringLiteral(QUILL_APP_ID); }

QIcon applicationIcon()
{
    // Every size is drawn: a platform that asks for one of them at its device
    // pixel ratio gets exact pixels, never a smoothed rescale. The sizes go in
    // from small to large because X11 fills its window icon property in this
    // order and stops at the first size that no longer fits.
    const QDir icons(QStringLiteral(":/icons"));
    std::vector<int> sizes;
    for (const QString &name : icons.entryList({QStringLiteral("*.png")}, QDir::Files))
        sizes.push_back(QStringView(name).chopped(4).toInt()); // "<size>.png"
    std::sort(sizes.begin(), sizes.end());
    QIcon icon;
    for (int size : sizes)
        icon.addFile(icons.filePath(QStringLiteral("%1.png").arg(size)), QSize(size, size));
    return icon;
}

void setApplicationIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("QuillIDE"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILL_VERSION));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("QuillIDE"));
    QGuiApplication::setDesktopFileName(applicationId());
    QGuiApplication::setWindowIcon(applicationIcon());
}

} // namespace quill
