#pragma once

#include <QString>

namespace quill {

// Asks the desktop to open a file (a path) or an address (with a scheme, such
// as https://...) with its default handler, as if the user had opened it.
// Whether that worked is not reported.
void ShellOpen(const QString &target);

} // namespace quill
