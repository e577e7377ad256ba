#include "app/shellopen.h"

#include <QDesktopServices>
#include <QUrl>

namespace quill {

void ShellOpen(const QString &target)
{
    const QUrl url = target.contains(QLatin1String("://")) ? QUrl(target)
                                                           : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
}

} // namespace quill
