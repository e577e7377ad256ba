#include "builder/includefilereader.h"

#include "base/filereader.h"
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
    std::unique_ptr<QFile> file;
    try {
        file = openRegularFile(path, name);
    } catch (const QuillError &) {
        return std::nullopt;  // told by the generator as "Failed to open NAME"
    }
    checkFileSize(*file, name, IncludeFileLimit);
    // Read to one byte past the limit: the file may have grown since it was opened.
    const QByteArray bytes = file->read(IncludeFileLimit + 1);
    if (file->error() != QFileDevice::NoError)
        return std::nullopt;
    if (bytes.size() > IncludeFileLimit)
        throw QuillError(QStringLiteral("Too large: %1.").arg(name));

    const QString canonical = QFileInfo(path).canonicalFilePath();
    return IncludeFile{decodeText(bytes).lines, canonical.isEmpty() ? path : canonical};
}

} // namespace quill
