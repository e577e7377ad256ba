#pragma once

#include <QString>
#include <optional>

namespace quill {

// The check every Save and Export makes on a bare file name typed by the
// user before joining it to its folder (code, sprite, export directory).
// A name is refused when it is empty ("Input file name.") or when it could
// name anything but a plain file directly inside the folder: it holds "/" or
// "\", is "." or "..", or holds a NUL character, which the file system would
// cut the path at ("Invalid file name.").
//
//   if (auto problem = fileNameProblem(edtFile->text())) { showMessage(*problem); return; }
std::optional<QString> fileNameProblem(const QString &name);

// The same check for a model: throws QuillError with the message.
void checkFileName(const QString &name);

} // namespace quill
