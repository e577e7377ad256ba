#pragma once

#include <QString>
#include <QStringList>

namespace quill {

// Every file an export writes into the export folder before its pair is in
// place, and only those, has a name that begins with this: a hidden staging
// folder per export, and (from earlier releases) hidden temporary files.
inline const QString ExportTemporaryPrefix = QStringLiteral(".quill-export-");

// The two files of one export, NAME.zip and NAME.html, written whole into a
// hidden staging folder of the export folder and then put in place as a
// pair: the archive first, the page last. The staging folder names the
// program in a file of its own and holds the two under short names, however
// long the program's name; the page is staged only once the name and the
// archive are whole, so a staged page means that everything is. While the
// export runs its process holds a lock on the staging folder, which ends
// with the process, however it ends.
//
// A kill at any moment leaves either the old pair (the staging folder holds
// no whole page yet), or both new files, or the new archive beside the old
// page with the new page still staged: settleExports, at the next Export or
// start, puts that page in place and removes every other leftover.
//
//   ExportStaging staging(exportDir, "cat");
//   writeZipArchive(staging.archivePath(), members);
//   PendingFile page(staging.pagePath()); ...; page.commit();
//   staging.putInPlace();
class ExportStaging {
public:
    // Makes the staging folder and takes its lock; throws QuillError when
    // the export folder cannot hold it.
    ExportStaging(const QString &exportDir, const QString &programName);
    // Removes what is staged, unless it was put in place or its page waits
    // to be put in place.
    ~ExportStaging();
    ExportStaging(const ExportStaging &) = delete;
    ExportStaging &operator=(const ExportStaging &) = delete;

    // Where the archive and then the page are written; the page only after
    // the archive is whole and on the disk.
    QString archivePath() const;
    QString pagePath() const;

    // Renames the archive and then the page over exportDir/NAME.zip and
    // NAME.html. A target that is a folder is refused before either moves.
    // When the page cannot follow the archive, QuillError says so, and the
    // page stays staged for settleExports.
    void putInPlace();

private:
    QString exportDir_;
    QString programName_;
    QString folder_;  // the staging folder, ending in "/"
    int lock_ = -1;
    bool keep_ = false;
};

// Settles the leftovers of exports cut short in exportDir that no running
// export holds: a staging folder whose page was staged has its pair put in
// place; every other staging folder, and every other file of the temporary
// pattern (ExportTemporaryPrefix), is removed. Nothing else is touched.
// Returns a message for each pair that could not be put in place; a folder
// that does not exist has nothing to settle.
QStringList settleExports(const QString &exportDir);

} // namespace quill
