#include "app/helptext.h"

#include "base/quillerror.h"
#include "base/workspace.h"

#include <QFile>

namespace quill {

QString fillHelpPlaceholders(QString text, const WorkspacePaths &paths)
{
    // Each replacement runs on the result of the one before, so the order is
    // part of the contract: a directory path that happens to contain a later
    // placeholder is replaced again.
    text.replace(QStringLiteral("%di_basfiles%"), paths.codeDir, Qt::CaseSensitive);
    text.replace(QStringLiteral("%di_grafiles%"), paths.spriteDir, Qt::CaseSensitive);
    text.replace(QStringLiteral("%di_temps%"), paths.templateDir, Qt::CaseSensitive);
    text.replace(QStringLiteral("%di_img%"), paths.imageDir, Qt::CaseSensitive);
    text.replace(QStringLiteral("%di_au%"), paths.audioDir, Qt::CaseSensitive);
    return text;
}

QString helpText(const WorkspacePaths &paths)
{
    QFile resource(QStringLiteral(":/program/help.txt"));
    if (!resource.open(QIODevice::ReadOnly))
        throw QuillError(QStringLiteral("The help text is missing."));
    return fillHelpPlaceholders(QString::fromUtf8(resource.readAll()), paths);
}

} // namespace quill
