#pragma once

#include <QString>

namespace quill {

// The fixed file and directory names of the workspace. Every directory ends
// in "/"; nothing here touches the disk.
struct WorkspacePaths {
    QString baseDir;
    QString settingsPath;  // quillide.ini
    QString keywordsPath;  // keywords.ini
    QString pagePath;      // temp.html
    QString codeDir;       // prgfiles/
    QString spriteDir;     // sprfiles/
    QString templateDir;   // tempfiles/
    QString scriptDir;     // js/
    QString imageDir;      // img/
    QString audioDir;      // audio/

    // baseDir is used as given and must end in "/".
    static WorkspacePaths fromBaseDir(const QString &baseDir);
    // QuillIDE/ under the user's data folder (XDG_DATA_HOME on Linux).
    static WorkspacePaths standard();
};

// The user's documents folder without a trailing separator; empty when unknown.
QString documentsFolder();

} // namespace quill
