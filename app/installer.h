#pragma once

#include <QString>
#include <QStringList>

namespace quill {

class SettingsStore;
struct WorkspacePaths;

// The 71 default keyword suggestions, in order (four end with a space).
QStringList defaultKeywords();

// Makes a working workspace: the six directories, every default setting
// (other entries kept), the starter files written byte for byte, the default
// keywords saved to keywords.ini, then keyheight and command rescaled.
// quillide.ini is not written. Throws QuillError when a file cannot be written.
void installWorkspace(const WorkspacePaths &paths, SettingsStore &settings,
                      QStringList &keywords, int keyPanelWidth,
                      const QString &documentsDir);

} // namespace quill
