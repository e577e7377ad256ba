#pragma once

#include "builder/pagegenerator.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace quill {

class MessageSink;
class PendingFile;
struct WorkspacePaths;

// The message for a resource path that may not become an archive entry or be
// read from the workspace: one that climbs out of its folder (".." as a part),
// is absolute, or holds a backslash or a NUL character. Nothing for a plain
// relative path such as img/cat.png.
std::optional<QString> entryNameProblem(const QString &name);

// What one archive entry is made of: its name and the file it is read from.
struct ExportEntry {
    QString name;
    QString sourcePath;
    bool operator==(const ExportEntry &) const = default;
};

// The archive's entries in order: the page as programName + ".html", then
// every resource as itself, read from baseDir + resource. A name listed more
// than once is kept once, at its first listing's place: zip readers stop and
// ask when one archive holds two members of one name.
std::vector<ExportEntry> exportEntries(const QString &programName, const QString &pagePath,
                                       const QStringList &resources, const QString &baseDir);

// Everything Export needs once the page is generated.
struct ExportRequest {
    QString programName;   // the code file's name, bare
    QString pagePath;      // the page just written
    QStringList resources; // the page's resources, workspace-relative, in order
    QString baseDir;       // the workspace, ending in "/"
    QString exportDir;     // the "exportdir" setting
    QString documentsDir;  // the default of "exportdir"
    PageParts parts;       // what the page was filled from
};

// The two files an export writes.
struct ExportedFiles {
    QString archive;  // exportDir + "/" + programName + ".zip"
    QString page;     // exportDir + "/" + programName + ".html", self-contained
};

// Writes the archive and, beside it, the self-contained page (see
// writeSinglePage). The archive is built completely before anything is
// written; both files are then written under temporary names and renamed
// over the old ones, the archive first. So a failure never leaves a half
// file and never destroys an earlier one, and a resource that cannot be read
// writes neither. The
// export folder is created only when it is the documents folder default; any
// other missing folder, a refused name (checked before any file is read) and
// a missing resource throw QuillError with the reason.
ExportedFiles exportProgram(const ExportRequest &request);

// The two steps of exportProgram, for measuring them apart; neither checks
// names. packArchive reads the page and the resources and returns the
// archive's bytes; writeSinglePageTo writes the self-contained page, reading
// the resources again one at a time.
QByteArray packArchive(const ExportRequest &request);
void writeSinglePageTo(const ExportRequest &request, PendingFile &page);

// Export as the button does it: an unusable program name is told and nothing
// is generated; otherwise the page is generated from the code (the code file
// is not saved), and when the generator has not told of a missing include,
// both files are written into exportDir and "Completed." is told with the
// archive's path and the page's path on the lines below it. Other failures
// throw QuillError and "Completed." is not told.
void exportCode(const QStringList &codeLines, const QString &programName,
                const WorkspacePaths &paths, const QString &exportDir,
                const QString &documentsDir, MessageSink &messages);

} // namespace quill
