#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <memory>

class QFile;

namespace quill {

// How many bytes a file that a user or a program names may hold before it is
// refused with "Too large: NAME.". Text (code files, templates, pages,
// settings, keywords) gets the page generator's page size; the files an
// exported page loads (pictures, sounds, scripts) may be larger.
inline constexpr qint64 TextFileLimit = 64 * 1024 * 1024;
inline constexpr qint64 ResourceFileLimit = 256 * 1024 * 1024;

// The one way the program opens a file that a user or a program named.
// Only a regular file is opened (a symbolic link to one counts as one):
// a FIFO, a device, a socket, a folder or a link to any of them is refused
// with "Failed to open NAME." and never blocks, since the file's type is
// looked at before opening and opening itself never waits (O_NONBLOCK), and
// the type is checked again on the open descriptor. A file that cannot be
// opened for another reason throws QuillError with the path and the
// platform's reason. `name` is how the user knows the file ("cat_sample",
// "img/cat.png").
//
//   std::unique_ptr<QFile> file = openRegularFile(path, name);   // read-only, unbuffered
//   file->size();   // as the descriptor saw it on opening
std::unique_ptr<QFile> openRegularFile(const QString &path, const QString &name);

// "Too large: NAME." when the file holds more than limit bytes, as found on
// the open descriptor (throws QuillError); nothing otherwise.
void checkFileSize(const QFile &file, const QString &name, qint64 limit);

// Reads a whole regular file of at most `limit` bytes (openRegularFile's
// refusals, then "Too large: NAME.", also for a file that grows past the
// limit while it is read). Once each piece is in, readSoFar (when given)
// sees the bytes read so far.
QByteArray readRegularFile(const QString &path, const QString &name, qint64 limit,
                           const std::function<void(QByteArrayView readSoFar)> &readSoFar = {});

// The first at most `count` bytes of a regular file; the rest is not read.
QByteArray readFileStart(const QString &path, const QString &name, qint64 count);

} // namespace quill
