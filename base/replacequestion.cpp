#include "base/replacequestion.h"

#include "base/messagesink.h"

#include <QFileInfo>

namespace quill {

bool mayReplace(MessageSink &messages, const QString &name, const QString &origin,
                const QStringList &paths)
{
    if (name == origin)
        return true;
    bool exists = false;
    for (const QString &path : paths)
        exists = exists || QFileInfo::exists(path);
    return !exists || messages.askQuestion(QStringLiteral("Replace %1?").arg(name));
}

} // namespace quill
