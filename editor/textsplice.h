#pragma once

#include <QStringList>

namespace quill {

// One change of the code text as plain data, worked out by the editing
// algorithms and applied by the code buffer as a single step: the lines
// firstLine .. firstLine + removedCount - 1 are replaced by insertedLines, then
// the cursor goes to (cursorLine, cursorColumn), counted in the changed text.
// A splice that removes and inserts nothing only moves the cursor.
//
//   TextSplice s = lineInsertionAfter(2, "sprite(,\"cat\",2);", 7);
//   applySplice(lines, s);   // a new line 3; the cursor at (3, 7)
struct TextSplice {
    int firstLine = 0;
    int removedCount = 0;
    QStringList insertedLines;
    int cursorLine = 0;
    int cursorColumn = 0;
};

// Replaces one line and places the cursor.
inline TextSplice lineReplacement(int line, const QString &text, int cursorLine, int cursorColumn)
{
    return TextSplice{line, 1, {text}, cursorLine, cursorColumn};
}

// Inserts one new line after line `after` and puts the cursor on it.
inline TextSplice lineInsertionAfter(int after, const QString &text, int cursorColumn)
{
    return TextSplice{after + 1, 0, {text}, after + 1, cursorColumn};
}

inline TextSplice cursorMove(int line, int column)
{
    return TextSplice{line, 0, {}, line, column};
}

// Applies a splice to a plain list of lines; the range must lie inside it.
inline void applySplice(QStringList &lines, const TextSplice &splice)
{
    lines.remove(splice.firstLine, splice.removedCount);
    // One gap for all new lines keeps a paste of a million lines linear.
    lines.insert(splice.firstLine, splice.insertedLines.size(), QString());
    for (qsizetype i = 0; i < splice.insertedLines.size(); ++i)
        lines[splice.firstLine + i] = splice.insertedLines[i];
}

} // namespace quill
