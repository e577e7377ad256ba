#include "builder/includefilereader.h"

#include "base/quillerror.h"
#include "base/textfile.h"

#include <QFile>
#include <QFileInfo>

namespace quill {

std::optional<IncludeFile> IncludeFileReader::readInclude(const QString &name)
{
    // The file system would cut the name at a NUL and open another file.
    if (name.contains(QChar(u'\0')))
        return std::nullopt;
    const QString path = codeDir_ + name;
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    if (info.size() > IncludeFileLimit)
        throw QuillError(QStringLiteral("Too large: %1.").arg(name));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The size is read again here: the file may have grown since it was looked at.
    const QByteArray bytes = file.read(IncludeFileLimit + 1);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    if (bytes.size() > IncludeFileLimit)
        throw QuillError(QStringLiteral("Too large: %1.").arg(name));

    const QString canonical = info.canonicalFilePath();
    return IncludeFile{decodeText(bytes).lines, canonical.isEmpty() ? path : canonical};
}

} // namespace quill
