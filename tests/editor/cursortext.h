#pragma once

// Editor fixtures written as text with "|" where the cursor stands:
//   {"foo {bar}|", "a bar"}  ->  lines "foo {bar}", "a bar"; cursor (0, 9)
// The fixtures hold no other "|".

#include "editor/textsplice.h"
#include "tests/builder/qtprint.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace quill::testing {

struct CursorText {
    QStringList lines;
    int line = 0;
    int column = 0;
};

inline CursorText parseCursorText(const QStringList &marked)
{
    CursorText text;
    text.lines = marked;
    int marks = 0;
    for (qsizetype i = 0; i < marked.size(); ++i) {
        const qsizetype column = marked[i].indexOf(u'|');
        if (column < 0)
            continue;
        ++marks;
        text.line = int(i);
        text.column = int(column);
        text.lines[i].remove(column, 1);
    }
    EXPECT_EQ(marks, 1) << "a fixture marks the cursor exactly once";
    return text;
}

inline QStringList markCursor(const CursorText &text)
{
    QStringList marked = text.lines;
    if (text.line >= 0 && text.line < marked.size() && text.column >= 0
        && text.column <= marked[text.line].size())
        marked[text.line].insert(text.column, u'|');
    else
        marked.append(QStringLiteral("<cursor out of the text: %1, %2>").arg(text.line).arg(text.column));
    return marked;
}

inline void apply(CursorText &text, const TextSplice &splice)
{
    applySplice(text.lines, splice);
    text.line = splice.cursorLine;
    text.column = splice.cursorColumn;
}

} // namespace quill::testing
