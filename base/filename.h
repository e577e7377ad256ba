#pragma once

#include <QString>
#include <optional>

namespace quill {

// The check every Save and Export makes on a bare file name typed by the
// user before joining it to its folder (code, sprite, export directory).
// A name is refused when it is empty ("Input file name.") or when it could
// name anything but a plain file directly inside the folder, or could not be
// stored as typed ("Invalid file name."): it holds "/" or "\", is "." or
// "..", holds a control character (a NUL would cut the path short, a line
// break would split the line of a declaration or a list), or holds half of a
// surrogate pair, which the file system would store as U+FFFD, so that two
// such names would name one file. A name longer than the file system takes
// (255 bytes once encoded) is refused with "File name too long." before
// anything is written.
//
//   if (auto problem = fileNameProblem(edtFile->text())) { showMessage(*problem); return; }
std::optional<QString> fileNameProblem(const QString &name);

// The same check for a model: throws QuillError with the message.
void checkFileName(const QString &name);

// True when the text holds a control character (U+0000 to U+001F, U+007F to
// U+009F) or a line or paragraph separator (U+2028, U+2029).
bool hasControlCharacters(QStringView text);

// The longest file name, in bytes once encoded, that the file system takes.
inline constexpr qsizetype LongestFileName = 255;

} // namespace quill
