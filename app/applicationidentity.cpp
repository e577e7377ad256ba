#include "app/applicationidentity.h"

#include <QGuiApplication>

namespace quill {

QString applicationId() { return QStringLiteral(QUILL_APP_ID); }

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
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
