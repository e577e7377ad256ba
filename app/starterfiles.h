#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace quill {

// One file that the installation writes into the workspace from the copy
// carried inside the executable (resource :/starter/<directory>/<name>).
struct StarterFile {
    QString directory;  // "js", "img", "audio", "prgfiles" or "tempfiles"
    QString name;
};

// The starter files in installation order.
const std::vector<StarterFile> &starterFiles();

// The embedded bytes of a starter file; throws QuillError if it is missing.
QByteArray starterFileBytes(const StarterFile &file);

} // namespace quill
