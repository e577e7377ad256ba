#pragma once

#include <QString>

namespace quill {

struct WorkspacePaths;

// The Help page's text with its five directory placeholders replaced, in
// order, by the code, sprite, template, image and audio directories.
QString helpText(const WorkspacePaths &paths);

// The same substitution on any text (exposed for tests).
QString fillHelpPlaceholders(QString text, const WorkspacePaths &paths);

} // namespace quill
