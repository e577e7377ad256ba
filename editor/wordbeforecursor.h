#pragma once

#include <QString>

namespace quill {

// The word that Ky and Tm complete: the run of characters with codes 95 to
// 122 ("_", the backtick, a to z) that ends just before cursorColumn.
// Upper-case letters, digits, "$" and "." end it. Its length is WordLength.
//
//   WordBeforeCursor("x = sq", 6)      -> "sq"
//   WordBeforeCursor("Math.", 5)       -> ""
QString WordBeforeCursor(const QString &line, int cursorColumn);

} // namespace quill
