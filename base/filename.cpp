#include "base/filename.h"

#include "base/quillerror.h"

#include <QFile>

namespace quill {

bool hasControlCharacters(QStringView text)
{
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029)
            return true;
    }
    return false;
}

std::optional<QString> fileNameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("Input file name.");
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.contains(u'/')
        || name.contains(u'\\') || hasControlCharacters(name) || !name.isValidUtf16())
        return QStringLiteral("Invalid file name.");
    if (QFile::encodeName(name).size() > LongestFileName)
        return QStringLiteral("File name too long.");
    return std::nullopt;
}

void checkFileName(const QString &name)
{
    if (const std::optional<QString> problem = fileNameProblem(name))
        throw QuillError(*problem);
}

} // namespace quill
