#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace quill {

class SettingsStore;
struct WorkspacePaths;

// The 76 default keyword suggestions, in order (four end with a space).
QStringList defaultKeywords();

// What an installation did with starter-named files that held the user's
// own bytes, as names relative to the workspace ("prgfiles/cat_sample").
struct InstallReport {
    QString keepDir;
    QStringList kept;        // copied into keepDir, then replaced by the starter
    QStringList leftAlone;   // could not be copied, so not replaced either
};

// Makes a working workspace: the six directories, every default setting
// (other entries kept), the starter files written byte for byte, the default
// keywords saved to keywords.ini, then keyheight and command rescaled.
// quillide.ini is not written. Throws QuillError when a file cannot be written.
// With a keepDir ("/" at the end), a starter-named file whose bytes differ
// from the starter's is first copied to keepDir + directory + "/" + name (a
// free name with ".1", ".2" ... when another version is kept there already),
// so that nothing the user saved is lost; a keywords.ini that differs from
// the default list is kept as keepDir + "keywords.ini" the same way. A file
// that cannot be kept is left as it was (a keyword list so left stays in use).
InstallReport installWorkspace(const WorkspacePaths &paths, SettingsStore &settings,
                               QStringList &keywords, int keyPanelWidth,
                               const QString &documentsDir, const QString &keepDir = QString());

// The one message naming the kept files, or nothing when none was kept:
// "Your own versions were kept in DIR: prgfiles/cat_sample." (and those that
// could not be kept and were left as they were).
std::optional<QString> keptFilesMessage(const InstallReport &report);

} // namespace quill
