#include "base/filename.h"

#include "base/quillerror.h"

namespace quill {

std::optional<QString> fileNameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("Input file name.");
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.contains(u'/')
        || name.contains(u'\\') || name.contains(QChar(0)))
        return QStringLiteral("Invalid file name.");
    return std::nullopt;
}

void checkFileName(const QString &name)
{
    if (const std::optional<QString> problem = fileNameProblem(name))
        throw QuillError(*problem);
}

} // namespace quill
