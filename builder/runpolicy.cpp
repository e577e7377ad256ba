#include "builder/runpolicy.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace quill {

namespace {

bool isAbout(const QUrl &url, QLatin1String what)
{
    return url.scheme() == QLatin1String("about") && url.path() == what;
}

// The path with symbolic links resolved as far as it exists; what follows
// the last existing folder is kept as written.
QString resolved(const QString &path)
{
    QString existing = QDir::cleanPath(path);
    QString rest;
    while (!QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf(u'/');
        if (slash <= 0)
            return QString();
        rest.prepend(existing.mid(slash));
        existing.truncate(slash);
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    return canonical.isEmpty() ? QString() : canonical + rest;
}

bool inside(const QString &path, const QString &baseDir)
{
    const QString base = QFileInfo(baseDir).canonicalFilePath();
    return !base.isEmpty() && !path.isEmpty() && path.startsWith(base + QLatin1Char('/'));
}

} // namespace

bool isWorkspaceFile(const QUrl &url, const QString &baseDir)
{
    if (!url.isLocalFile() || !url.host().isEmpty())
        return false;
    const QString path = resolved(url.toLocalFile());
    // A folder's address gives its listing, which is no file of the workspace.
    return inside(path, baseDir) && !QFileInfo(path).isDir();
}

bool mayLoad(const QUrl &url, const QString &baseDir)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file"))
        return isWorkspaceFile(url, baseDir);
    return scheme == QLatin1String("data") || scheme == QLatin1String("blob")
           || isAbout(url, QLatin1String("blank")) || isAbout(url, QLatin1String("srcdoc"));
}

bool isWorkspacePage(const QUrl &url, const QString &baseDir)
{
    if (isAbout(url, QLatin1String("blank")))
        return true;
    if (!url.isLocalFile() || !url.host().isEmpty())
        return false;
    const QFileInfo page(url.toLocalFile());
    return page.isFile() && inside(page.canonicalFilePath(), baseDir);
}

bool isSubFramePage(const QUrl &url, const QString &baseDir)
{
    const QString scheme = url.scheme().toLower();
    return isWorkspacePage(url, baseDir) || isAbout(url, QLatin1String("srcdoc"))
           || scheme == QLatin1String("data") || scheme == QLatin1String("blob");
}

QList<QByteArray> runViewChromiumSwitches()
{
    return {QByteArrayLiteral("--force-webrtc-ip-handling-policy=disable_non_proxied_udp"),
            QByteArrayLiteral("--proxy-server=http://255.255.255.255:1"),
            QByteArrayLiteral("--proxy-bypass-list=<-loopback>"),
            QByteArrayLiteral("--disable-blink-features=SharedWorker"),
            QByteArrayLiteral("--disable-features=PlzDedicatedWorker")};
}

} // namespace quill
