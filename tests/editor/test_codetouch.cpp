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

TEST(CodeTouch, TheWheelScrollsThroughTheDragsScrollWindow)
{
    struct Turn {
        QPoint angle;
        bool shift;
        int top, left;
    };
    struct Case {
        const char *label;
        int top, left;
        std::vector<Turn> turns;
    };
    // 40 lines of 50 characters, a view of 10 x 5 cells.
    const std::vector<Case> cases = {
        {"a notch down scrolls three lines", 0, 0, {{{0, -120}, false, 3, 0}, {{0, -120}, false, 6, 0}}},
        {"a notch up scrolls back", 10, 0, {{{0, 120}, false, 7, 0}}},
        {"never above the first line", 2, 0, {{{0, 120}, false, 0, 0}, {{0, 120}, false, 0, 0}}},
        {"Shift turns lines into columns", 0, 0, {{{0, -120}, true, 0, 3}, {{0, 120}, true, 0, 0}}},
        {"a sideways wheel scrolls columns", 0, 6, {{{120, 0}, false, 0, 3}, {{-240, 0}, false, 0, 9}}},
        {"fine steps add up to whole lines", 0, 0, {{{0, -30}, false, 0, 0}, {{0, -30}, false, 1, 0}, {{0, -60}, false, 3, 0}, {{0, -15}, false, 3, 0}}},
        {"the last line stops at the top", 35, 0, {{{0, -120}, false, 38, 0}, {{0, -120}, false, 39, 0}, {{0, -120}, false, 39, 0}}},
        {"the longest line's end stops at the left", 0, 45, {{{0, -120}, true, 0, 48}, {{0, -120}, true, 0, 49}}},
        {"a view dragged past the end only comes back", 100, 0, {{{0, -120}, false, 100, 0}, {{0, 120}, false, 97, 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        CodeBuffer buffer;
        buffer.loadLines(QStringList(40, QString(50, u'x')));
        buffer.setViewSize(10, 5);
        buffer.setCursor(4, 4);
        buffer.setScroll(c.top, c.left);
        CodeWheel wheel;
        for (const Turn &turn : c.turns) {
            wheel.turn(buffer, turn.angle, turn.shift);
            EXPECT_EQ(buffer.topLine(), turn.top);
            EXPECT_EQ(buffer.leftColumn(), turn.left);
        }
        EXPECT_EQ(buffer.cursorLine(), 4);
        EXPECT_EQ(buffer.cursorColumn(), 4);
        EXPECT_FALSE(buffer.codeModified());
    }
}

TEST(CodeTouch, TheWheelOnlyLooksAtTheLinesInView)
{
    CodeBuffer buffer;
    buffer.loadLines({"short", "short", QString(200, u'x')});
    buffer.setViewSize(10, 2);
    CodeWheel wheel;
    EXPECT_TRUE(wheel.turn(buffer, {0, -120}, true));
    EXPECT_EQ(buffer.leftColumn(), 3);
    EXPECT_TRUE(wheel.turn(buffer, {0, -120}, true));
    EXPECT_EQ(buffer.leftColumn(), 4) << "the end of \"short\" stops it";
    EXPECT_FALSE(wheel.turn(buffer, {0, -120}, true));
}

} // namespace
} // namespace quill
