// The code as a screen reader reads it: one string, offsets, the line at an
// offset, the selection, and what changed between two versions.
#include "editor/readertext.h"

#include "editor/codebuffer.h"
#include "tests/builder/qtprint.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

TEST(ReaderText, OffsetsCountTheLineBreaks)
{
    const CodeText lines{"ab", "", "cde"};
    const ReaderText reader(lines);
    EXPECT_EQ(reader.characterCount(), 7);
    EXPECT_EQ(reader.text(0, reader.characterCount()), "ab\n\ncde");

    struct Case {
        const char *label;
        int line, column, offset;
    };
    const std::vector<Case> cases = {
        {"start", 0, 0, 0},
        {"end of the first line", 0, 2, 2},
        {"the empty line", 1, 0, 3},
        {"inside the last line", 2, 1, 5},
        {"end of the text", 2, 3, 7},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(reader.offsetOf(c.line, c.column), c.offset);
        EXPECT_EQ(reader.positionOf(c.offset), std::make_pair(c.line, c.column));
    }
    EXPECT_EQ(reader.offsetOf(0, 99), 2) << "a column past the end stays in its line";
    EXPECT_EQ(reader.offsetOf(9, 0), 4) << "a line past the end is the last line";
    EXPECT_EQ(reader.positionOf(99), std::make_pair(2, 3));
}

TEST(ReaderText, PiecesAndLines)
{
    const CodeText lines{"var x;", "", "x=1;"};
    const ReaderText reader(lines);
    struct Case {
        const char *label;
        int start, end;
        QString text;
    };
    const std::vector<Case> cases = {
        {"within a line", 4, 6, "x;"},
        {"across a line break", 5, 9, ";\n\nx"},
        {"the line break alone", 6, 7, "\n"},
        {"empty", 3, 3, ""},
        {"backwards reads nothing", 5, 2, ""},
        {"clamped to the text", -5, 99, "var x;\n\nx=1;"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(reader.text(c.start, c.end), c.text);
    }
    EXPECT_EQ(reader.text(reader.lineAround(2)), "var x;");
    EXPECT_EQ(reader.text(reader.lineAround(6)), "var x;") << "a line break belongs to the line it ends";
    EXPECT_EQ(reader.lineAround(7), std::make_pair(7, 7));
    EXPECT_EQ(reader.text(reader.lineAround(12)), "x=1;");
}

TEST(ReaderText, CursorAndSelection)
{
    CodeBuffer buffer;
    buffer.loadLines({"abcdef", "gh"});
    const ReaderText reader(buffer.text());
    buffer.setCursor(1, 1);
    EXPECT_EQ(reader.cursorOffset(buffer), 8);
    EXPECT_FALSE(reader.selection(buffer));

    buffer.setSelectionActive(true);
    buffer.setSelectionAnchor(0, 2);
    buffer.setCursor(0, 4);
    ASSERT_TRUE(reader.selection(buffer));
    EXPECT_EQ(reader.text(*reader.selection(buffer)), "cde") << "the character under the cursor is selected";
    buffer.setCursor(0, 6);
    EXPECT_EQ(reader.text(*reader.selection(buffer)), "cdef\n");
    buffer.setCursor(1, 2);
    EXPECT_EQ(reader.text(*reader.selection(buffer)), "cdef\ngh") << "at the end of the text";
    buffer.setCursor(0, 1);
    EXPECT_FALSE(reader.selection(buffer)) << "a selection that runs backwards selects nothing";
}

TEST(ReaderText, WhatChanged)
{
    struct Case {
        const char *label;
        QStringList before, after;
        int position;
        QString removed, inserted;
    };
    const std::vector<Case> cases = {
        {"a character typed", {"ab", "cd"}, {"ab", "cxd"}, 4, "", "x"},
        {"a character removed", {"ab", "cd"}, {"a", "cd"}, 1, "b", ""},
        {"a line split", {"abcd"}, {"ab", "cd"}, 2, "", "\n"},
        {"lines joined", {"ab", "cd", "ef"}, {"abcd", "ef"}, 2, "\n", ""},
        {"a line added at the end", {"ab"}, {"ab", ""}, 2, "", "\n"},
        {"a line added at the start", {"ab"}, {"x", "ab"}, 0, "", "x\n"},
        {"a line inserted in the middle", {"a", "b"}, {"a", "x", "b"}, 2, "", "x\n"},
        {"a line removed in the middle", {"a", "x", "b"}, {"a", "b"}, 2, "x\n", ""},
        {"the same line twice, one removed", {"a", "a", "a"}, {"a", "a"}, 3, "\na", ""},
        {"everything replaced", {"one", "two"}, {"three"}, 0, "one\ntwo", "three"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const std::optional<TextChange> change = textChange(c.before, c.after);
        ASSERT_TRUE(change);
        EXPECT_EQ(change->position, c.position);
        EXPECT_EQ(change->removed, c.removed);
        EXPECT_EQ(change->inserted, c.inserted);
        // Applied to the old text, the change gives the new one.
        QString text = c.before.join(u'\n');
        text.replace(change->position, change->removed.size(), change->inserted);
        EXPECT_EQ(text, c.after.join(u'\n'));
    }
    EXPECT_FALSE(textChange({"a", "b"}, {"a", "b"}));
}

} // namespace
} // namespace quill
