#include "builder/runpolicy.h"

#include <QFileInfo>
#include <QUrl>

namespace quill {

bool isRemoteScheme(const QString &scheme)
{
    static const QString remote[] = {QStringLiteral("http"), QStringLiteral("https"),
                                     QStringLiteral("ws"), QStringLiteral("wss"),
                                     QStringLiteral("ftp")};
    for (const QString &name : remote)
        if (scheme.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool isWorkspacePage(const QUrl &url, const QString &baseDir)
{
    if (url.scheme() == QLatin1String("about") && url.path() == QLatin1String("blank"))
        return true;
    if (!url.isLocalFile() || !url.host().isEmpty())
        return false;
    const QString base = QFileInfo(baseDir).canonicalFilePath();
    const QString page = QFileInfo(url.toLocalFile()).canonicalFilePath();
    return !base.isEmpty() && !page.isEmpty() && page.startsWith(base + QLatin1Char('/'));
}

} // namespace quill
