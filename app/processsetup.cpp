#include "app/processsetup.h"

#include "builder/runpolicy.h"

#include <QCoreApplication>
#include <QList>

#include <unistd.h>

namespace quill {

QByteArray webEngineFlags(const QByteArray &existing, bool runningAsRoot)
{
    QByteArray flags = existing.trimmed();
    const QList<QByteArray> present = flags.split(' ');
    const auto add = [&](const QByteArray &flag) {
        if (present.contains(flag))
            return;
        if (!flags.isEmpty())
            flags += ' ';
        flags += flag;
    };
    if (runningAsRoot)
        add(QByteArrayLiteral("--no-sandbox"));
    add(QByteArrayLiteral("--ignore-gpu-blocklist"));
    for (const QByteArray &flag : runViewChromiumSwitches())
        add(flag);
    return flags;
}

void prepareProcess()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            webEngineFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), geteuid() == 0));
}

} // namespace quill
