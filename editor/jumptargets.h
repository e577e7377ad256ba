#pragma once

#include "editor/codetext.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace quill {

// The functions declared in the text, for the jump list: every line that
// begins with "function " at column 0, in text order (a function declared
// twice is listed twice; an indented declaration is not listed). The item is
// the rest of the line, cut before its first "(" unless that "(" is its
// first character.
//
//   JumpList jumps = ListJumpTargets(lines);   // items "init", "move", ...
//   jumps.JumpLines[k]                          // the line of item k
struct JumpList {
    QStringList items;
    QList<int> JumpLines;
};

JumpList ListJumpTargets(const CodeText &lines);

// The line to jump to for item `index`, kept inside a text of lineCount
// lines (the text may have shrunk while the list stood open). No value for
// an index that the list does not hold.
std::optional<int> JumpTargetLine(const QList<int> &JumpLines, int index, int lineCount);

} // namespace quill
