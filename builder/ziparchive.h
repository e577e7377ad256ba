#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

namespace quill {

// One member of a zip archive: its name inside the archive (relative, "/"
// between folders), its bytes and the time stamp the archive records.
struct ArchiveEntry {
    QString name;
    QByteArray bytes;
    QDateTime modified;
};

// A standard zip archive holding the entries in the given order, every one
// deflate-compressed (method 8), built in memory. Names must be distinct;
// the zip writer's refusal, or any other failure of it, throws QuillError.
QByteArray zipArchive(const std::vector<ArchiveEntry> &entries);

} // namespace quill
