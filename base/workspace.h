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

// QuillIDE/ under the user's XDG state folder ($XDG_STATE_HOME, or
// ~/.local/state when that is unset, empty or not an absolute path), ending
// in "/": what the program keeps beyond the workspace (the recovery journal,
// the user's own versions of starter files). Nothing here touches the disk.
QString stateFolder();

} // namespace quill
