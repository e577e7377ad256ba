#include "editor/codetouch.h"

#include "editor/codebuffer.h"
#include "editortext.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

using testing::loadState;
using testing::stateOf;

TEST(CodeTouch, Tap)
{
    struct Case {
        const char *label;
        QString before;
        int top, left;
        double x, y;
        QString after;
    };
    // Cells of 10 pixels.
    const std::vector<Case> cases = {
        {"on a character", "|abc\ndef", 0, 0, 15.5, 12.0, "abc\nd|ef"},
        {"right of the last character", "|abc\ndef", 0, 0, 95.0, 1.0, "ab|c\ndef"},
        {"below the last line", "|abc\ndef", 0, 0, 5.0, 300.0, "abc\n|def"},
        {"on an empty line", "|abc\n\ndef", 0, 0, 55.0, 15.0, "abc\n|\ndef"},
        {"with the view scrolled", "|0123456789\nabcdefghij\nklm", 1, 4, 19.9, 0.0, "0123456789\nabcde|fghij\nklm"},
        {"negative coordinates", "abc\nd|ef", 0, 0, -4.0, -30.0, "|abc\ndef"},
        {"on the second half of a pair", "|a" + QString::fromUtf8("\xF0\x9F\x98\x80"), 0, 0, 25.0, 0.0,
         "a|" + QString::fromUtf8("\xF0\x9F\x98\x80")},
        {"far away", "|abc", 0, 0, 1e300, 1e300, "ab|c"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        CodeBuffer buffer;
        loadState(buffer, c.before);
        buffer.setScroll(c.top, c.left);
        tapCodeView(buffer, c.x, c.y, 10);
        EXPECT_EQ(stateOf(buffer), c.after);
        EXPECT_FALSE(buffer.codeModified());
    }
}

TEST(CodeTouch, TapScrollsTheCursorIntoViewAndKeepsTheSelection)
{
    CodeBuffer buffer;
    buffer.loadLines({"abc", "def"});
    buffer.setViewSize(2, 1);
    buffer.setSelectionActive(true);
    buffer.setSelectionAnchor(0, 1);
    tapCodeView(buffer, 25.0, 15.0, 10);
    EXPECT_EQ(buffer.topLine(), 1);
    EXPECT_EQ(buffer.leftColumn(), 1);
    EXPECT_TRUE(buffer.selectionActive());
    EXPECT_EQ(buffer.selectionAnchorColumn(), 1);
}

TEST(CodeTouch, DragAddsTheWholeDisplacementOnEveryMove)
{
    struct Move {
        double x, y;
        int top, left;
    };
    struct Case {
        const char *label;
        std::vector<Move> moves;
    };
    const std::vector<Case> cases = {
        {"first move only records the start", {{50, 50, 10, 10}}},
        {"finger resting 3 cells above the start", {{50, 50, 10, 10}, {50, 20, 13, 10}, {50, 20, 16, 10}, {50, 20, 19, 10}}},
        {"left scrolls left", {{50, 50, 10, 10}, {20, 50, 10, 13}}},
        {"down and right scroll back, never below 0", {{0, 0, 10, 10}, {50, 50, 5, 5}, {50, 50, 0, 0}, {50, 50, 0, 0}}},
        {"fractions are cut towards zero", {{50.7, 50.7, 10, 10}, {45.5, 45.5, 10, 10}, {40.0, 40.0, 11, 11}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        CodeBuffer buffer;
        buffer.loadLines({"abc"});
        buffer.setScroll(10, 10);
        CodeDrag drag;
        for (const Move &move : c.moves) {
            drag.move(buffer, move.x, move.y, 10);
            EXPECT_EQ(buffer.topLine(), move.top);
            EXPECT_EQ(buffer.leftColumn(), move.left);
        }
        EXPECT_EQ(buffer.cursorLine(), 0);
        EXPECT_EQ(buffer.cursorColumn(), 0);
        drag.release();
        EXPECT_FALSE(drag.active());
    }
}

} // namespace
} // namespace quill
