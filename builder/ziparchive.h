#pragma once

#include <QString>
#include <vector>

namespace quill {

// One member of a zip archive: its name inside the archive (relative, "/"
// between folders) and the file its bytes come from, with the name the user
// knows that file by (for messages).
struct ArchiveMember {
    QString name;
    QString sourcePath;
    QString sourceName;
};

// Writes a standard zip archive at `path` holding the members in the given
// order, every one deflate-compressed (method 8) and stamped with its
// file's modification time. Each file is opened only when its turn comes
// (openRegularFile: regular files only, at most ResourceFileLimit bytes) and
// streamed into the archive, so neither the files nor the archive are ever
// held in memory whole. The archive is written under a temporary name and
// renamed over `path` once complete, so a failure leaves no part of it and
// an earlier archive of that name whole. Names must be distinct. A file that
// cannot be read throws QuillError with its reason ("Failed to open NAME.",
// "Too large: NAME.", the platform's words); any other failure throws
// QuillError with the zip writer's reason.
void writeZipArchive(const QString &path, const std::vector<ArchiveMember> &members);

} // namespace quill
