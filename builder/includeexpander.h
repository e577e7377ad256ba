#pragma once

#include "base/messagesink.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quill {

// An include file's lines and what identifies the file itself (its canonical
// path), so that a cycle through another name for it is still seen.
struct IncludeFile {
    QStringList lines;
    QString identity;
};

// Where include lines find their files. The page generator reads the code
// folder; tests hand over files from memory.
class IncludeReader {
public:
    virtual ~IncludeReader() = default;
    // The file an "include NAME" line names, or nothing when it cannot be
    // read. May throw QuillError for a file it refuses (one too large).
    virtual std::optional<IncludeFile> readInclude(const QString &name) = 0;
};

// Where a line of the expanded code came from: source 0 is the program
// itself, source k > 0 the include file sources[k]; line is zero-based.
struct LineOrigin {
    int source = 0;
    int line = 0;
};

struct ExpandedCode {
    bool complete = false;            // false: expansion stopped (already told)
    QStringList lines;                // up to where it stopped
    std::vector<LineOrigin> origins;  // one per line
    QStringList sources;              // sources[0] is empty: the program
};

// A page that holds more characters than this is no real game: refusing it
// keeps a runaway include tree or sprite line from taking the editor (and
// its unsaved code) down with it.
inline constexpr qsizetype PageSizeLimit = 64 * 1024 * 1024;

// Replaces every line that starts with "include " by the lines of the file it
// names, recursively, in place. A file that cannot be read ("Failed to open
// NAME"), an include cycle, more than 100,000 expansions or expanded code
// beyond sizeLimit characters are told through messages and stop the
// expansion there: the result is not complete.
ExpandedCode expandIncludes(const QStringList &codeLines, IncludeReader &reader,
                                           MessageSink &messages,
                                           qsizetype sizeLimit = PageSizeLimit);

} // namespace quill
