#include "base/workspace.h"

#include <QDir>
#include <QStandardPaths>

namespace quill {

WorkspacePaths WorkspacePaths::fromBaseDir(const QString &baseDir)
{
    WorkspacePaths paths;
    paths.baseDir = baseDir;
    paths.settingsPath = baseDir + QStringLiteral("quillide.ini");
    paths.pagePath = baseDir + QStringLiteral("temp.html");
    paths.keywordsPath = baseDir + QStringLiteral("keywords.ini");
    paths.codeDir = baseDir + QStringLiteral("prgfiles/");
    paths.spriteDir = baseDir + QStringLiteral("sprfiles/");
    paths.templateDir = baseDir + QStringLiteral("tempfiles/");
    paths.scriptDir = baseDir + QStringLiteral("js/");
    paths.imageDir = baseDir + QStringLiteral("img/");
    paths.audioDir = baseDir + QStringLiteral("audio/");
    return paths;
}

WorkspacePaths WorkspacePaths::standard()
{
    // GenericDataLocation is the XDG data folder itself (~/.local/share), so
    // the workspace is one folder of our own inside it.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return fromBaseDir(data + QStringLiteral("/QuillIDE/"));
}

QString documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString stateFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/QuillIDE/");
}

} // namespace quill
