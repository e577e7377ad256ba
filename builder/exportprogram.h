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
// is absolute, or holds a backslash, a control character (a NUL or a line
// break) or half of a surrogate pair. Nothing for a plain relative path such
// as img/cat.png.
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
    // Pairs of exports cut short that could not be put in place (settleExports).
    QStringList unfinished;
};

// Writes the archive and, beside it, the self-contained page (see
// writeSinglePage). Every resource is opened first, so that one that is no
// regular file, is missing or is too large stops the export before anything
// is packed or written. Leftovers of exports cut short in the folder are settled
// first (settleExports); then both files are written whole into a staging
// folder and put in place as a pair (ExportStaging): a failure or a kill
// never leaves a half file, never destroys an earlier one, and never leaves
// a new archive beside an old page once the next Export or start has
// settled, and a resource that cannot be read writes neither. The page and
// the resources are streamed into the archive one file at a time
// (writeZipArchive), none held in memory whole. Every
// file is read through the one file reader: a resource that is no regular
// file, or is larger than ResourceFileLimit, is refused by name. The export
// folder is created only when it is the documents folder default; any other
// missing folder, a refused name (checked before any file is read; a name too
// long for its files is "File name too long.") and a resource that cannot be
// read throw QuillError with the reason.
ExportedFiles exportProgram(const ExportRequest &request);

// The two steps of exportProgram, for measuring them apart; neither checks
// names. packArchive streams the page and the resources into an archive at
// path; writeSinglePageTo writes the self-contained page, reading the
// resources again one at a time.
void packArchive(const ExportRequest &request, const QString &path);
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
