#include "editor/codefiles.h"

#include "app/base/filename.h"
#include "app/base/namecompare.h"
#include "editor/codebuffer.h"

#include <QDir>

namespace quill {

QStringList ListFiles(const QString &directory)
{
    QStringList names = QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System);
    sortNames(names);
    return names;
}

QString CodeFiles::damagedWarning()
{
    return QStringLiteral("Damaged characters in this file were replaced.");
}

std::optional<QString> CodeFiles::open(const QString &name, CodeBuffer &buffer)
{
    checkFileName(name);
    TextFileContent content = readTextFile(codeDir_ + name);
    buffer.loadLines(std::move(content.lines));
    encoding_ = content.encoding;
    if (content.malformed)
        return damagedWarning();
    return std::nullopt;
}

QString CodeFiles::save(const QString &name, CodeBuffer &buffer)
{
    checkFileName(name);
    const bool fits = canEncode(buffer.lines(), encoding_);
    const TextEncoding encoding = fits ? encoding_ : TextEncoding::Utf8Bom;
    writeTextFile(codeDir_ + name, buffer.lines(), encoding);
    encoding_ = encoding;
    buffer.setCodeModified(false);
    return fits ? QStringLiteral("Saved.") : QStringLiteral("Saved as UTF-8.");
}

} // namespace quill
