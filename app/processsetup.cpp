#include "app/processsetup.h"

#include "builder/runpolicy.h"

#include <QCoreApplication>
#include <QList>

#include <unistd.h>

namespace quill {

QByteArray webEngineFlags(const QByteArray &existing, bool runningAsRoot)
{
    QList<QByteArray> flags = existing.simplified().split(' ');
    flags.removeAll(QByteArray());
    const auto add = [&](const QByteArray &flag) {
        if (flags.contains(flag))
            return;
        // A feature list joins the list of a switch of the same name, since
        // Chromium reads only the last of two.
        const qsizetype equals = flag.indexOf('=');
        if (equals < 0 || !flag.left(equals).endsWith("features")) {
            flags.append(flag);
            return;
        }
        const QByteArray name = flag.left(equals + 1);
        for (QByteArray &given : flags) {
            if (!given.startsWith(name))
                continue;
            const QList<QByteArray> listed = given.mid(equals + 1).split(',');
            for (const QByteArray &feature : flag.mid(equals + 1).split(','))
                if (!listed.contains(feature))
                    given += ',' + feature;
            return;
        }
        flags.append(flag);
    };
    if (runningAsRoot)
        add(QByteArrayLiteral("--no-sandbox"));
    add(QByteArrayLiteral("--ignore-gpu-blocklist"));
    for (const QByteArray &flag : runViewChromiumSwitches())
        add(flag);
    return flags.join(' ');
}

void prepareProcess()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            webEngineFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), geteuid() == 0));
}

} // namespace quill
