#include "editor/codebuffer.h"

#include "editortext.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

namespace quill {
namespace {

using testing::loadState;
using testing::stateOf;

TEST(CodeBuffer, StartsWithTheNewProgramText)
{
    CodeBuffer buffer;
    ASSERT_EQ(buffer.lineCount(), 16);
    for (int empty : {3, 6, 9, 12, 15})
        EXPECT_TRUE(buffer.line(empty).isEmpty()) << empty;
    EXPECT_EQ(buffer.line(0), "//");
    EXPECT_EQ(buffer.line(13), "function mouseup(x,y){");
    EXPECT_EQ(buffer.cursorLine(), 0);
    EXPECT_EQ(buffer.cursorColumn(), 0);
    EXPECT_FALSE(buffer.codeModified());
    EXPECT_FALSE(buffer.selectionActive());
    EXPECT_FALSE(buffer.canUndo());
}

TEST(CodeBuffer, NewProgramKeepsCursorSelectionAndModifiedButClearsHistory)
{
    CodeBuffer buffer;
    loadState(buffer, "abc\nde|f");
    buffer.insertText(0, 0, "x");
    buffer.setCodeModified(true);
    buffer.setSelectionActive(true);
    buffer.setSelectionAnchor(1, 1);
    buffer.NewProgram();
    EXPECT_EQ(buffer.lines(), CodeBuffer::newProgramLines());
    EXPECT_EQ(buffer.cursorLine(), 1);
    EXPECT_EQ(buffer.cursorColumn(), 2);
    EXPECT_TRUE(buffer.codeModified());
    EXPECT_TRUE(buffer.selectionActive());
    EXPECT_FALSE(buffer.canUndo());
}

TEST(CodeBuffer, LoadingNoLinesGivesOneEmptyLine)
{
    CodeBuffer buffer;
    buffer.setCodeModified(true);
    buffer.loadLines({});
    ASSERT_EQ(buffer.lineCount(), 1);
    EXPECT_EQ(buffer.line(0), "");
    EXPECT_FALSE(buffer.codeModified());
}

TEST(CodeBuffer, InsertAtCursor)
{
    struct Case {
        const char *label;
        QString before;
        QString text;
        QString after;
    };
    const std::vector<Case> cases = {
        {"inside", "x\nxy|z", "abc", "x\nxyabc|z"},
        {"at the end", "xyz|", "abc", "xyzabc|"},
        {"empty line", "|", "abc", "abc|"},
        {"empty text", "a|b", "", "a|b"},
        {"surrogate pair", "a|b", QString::fromUtf8("\xF0\x9F\x98\x80"), QString::fromUtf8("a\xF0\x9F\x98\x80|b")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        CodeBuffer buffer;
        loadState(buffer, c.before);
        buffer.InsertAtCursor(c.text);
        EXPECT_EQ(stateOf(buffer), c.after);
    }
}

TEST(CodeBuffer, InsertAtCursorScrollsTheCursorIntoView)
{
    CodeBuffer buffer;
    buffer.setViewSize(4, 2);
    loadState(buffer, "ab|");
    buffer.InsertAtCursor("cd");
    EXPECT_EQ(buffer.leftColumn(), 1);
}

TEST(CodeBuffer, ScrollToCursor)
{
    struct Case {
        const char *label;
        int columns, lines;
        int top, left;
        int cursorLine, cursorColumn;
        int expectedTop, expectedLeft;
    };
    const std::vector<Case> cases = {
        {"below the view", 32, 20, 0, 0, 50, 0, 31, 0},
        {"above the view", 32, 20, 31, 0, 10, 0, 10, 0},
        {"inside stays", 32, 20, 5, 3, 10, 10, 5, 3},
        {"last visible line stays", 32, 20, 0, 0, 19, 0, 0, 0},
        {"end of a full-width line", 32, 20, 0, 0, 0, 32, 0, 1},
        {"left of the view", 32, 20, 0, 40, 0, 7, 0, 7},
        {"far right", 32, 20, 0, 0, 0, 100, 0, 69},
        {"zero-width view settles", 0, 0, 0, 0, 50, 100, 50, 100},
        {"negative view settles", -5, -3, 80, 200, 50, 100, 50, 100},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        CodeBuffer buffer;
        QStringList lines;
        for (int i = 0; i < 60; ++i)
            lines.append(QString(120, u'a'));
        buffer.loadLines(lines);
        buffer.setViewSize(c.columns, c.lines);
        buffer.setScroll(c.top, c.left);
        buffer.setCursor(c.cursorLine, c.cursorColumn);
        buffer.ScrollToCursor();
        EXPECT_EQ(buffer.topLine(), c.expectedTop);
        EXPECT_EQ(buffer.leftColumn(), c.expectedLeft);
        EXPECT_EQ(buffer.cursorLine(), c.cursorLine);
        EXPECT_EQ(buffer.cursorColumn(), c.cursorColumn);
    }
}

TEST(CodeBuffer, SetCursorStaysInsideTheTextAndOffHalfCharacters)
{
    const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");
    CodeBuffer buffer;
    buffer.loadLines({"abc", "a" + pair + "b"});
    buffer.setCursor(5, 9);
    EXPECT_EQ(buffer.cursorLine(), 1);
    EXPECT_EQ(buffer.cursorColumn(), 4);
    buffer.setCursor(1, 2); // between the halves
    EXPECT_EQ(buffer.cursorColumn(), 1);
    buffer.setCursor(-3, -1);
    EXPECT_EQ(buffer.cursorLine(), 0);
    EXPECT_EQ(buffer.cursorColumn(), 0);
}

TEST(CodeBuffer, InSelectionMatchesTheRange)
{
    CodeBuffer buffer;
    buffer.loadLines({"abcdef"});
    buffer.setSelectionActive(true);
    buffer.setSelectionAnchor(0, 2);
    buffer.setCursor(0, 4);
    QString marked;
    for (int column = 0; column < 6; ++column)
        marked += buffer.inSelection(0, column) ? u'#' : u'.';
    EXPECT_EQ(marked, "..###.");
}

TEST(CodeBuffer, EditsOutsideTheTextChangeNothing)
{
    CodeBuffer buffer;
    buffer.loadLines({"abc"});
    EXPECT_THROW(buffer.insertText(1, 0, "x"), std::out_of_range);
    EXPECT_THROW(buffer.insertText(0, 4, "x"), std::out_of_range);
    EXPECT_THROW(buffer.removeText(0, 2, 2), std::out_of_range);
    EXPECT_THROW(buffer.insertLine(2, "x"), std::out_of_range);
    EXPECT_THROW(buffer.removeLine(0), std::logic_error);
    EXPECT_THROW(buffer.insertLines(2, {"x"}), std::out_of_range);
    EXPECT_THROW(buffer.removeLines(0, 2), std::out_of_range);
    EXPECT_THROW(buffer.removeLines(0, 1), std::logic_error);
    EXPECT_EQ(buffer.lines(), QStringList{"abc"});
    EXPECT_FALSE(buffer.canUndo());
}

TEST(CodeBuffer, EditRecordsUndoAndRedoAsOneStep)
{
    CodeBuffer buffer;
    loadState(buffer, "abc\nd|ef");
    buffer.beginUndoStep();
    buffer.insertText(0, 1, "XY");
    EXPECT_EQ(buffer.removeText(1, 0, 2), "de");
    buffer.insertLine(2, "new");
    EXPECT_EQ(buffer.removeLine(0), "aXYbc");
    buffer.insertLines(1, {"p", "q", "r"});
    EXPECT_EQ(buffer.removeLines(2, 2), (QStringList{"q", "r"}));
    EXPECT_EQ(buffer.removeLines(1, 1), QStringList{"p"});
    buffer.setCursor(1, 3);
    buffer.endUndoStep();
    EXPECT_EQ(stateOf(buffer), "f\nnew|");

    buffer.setCodeModified(false);
    EXPECT_TRUE(buffer.undo());
    EXPECT_EQ(stateOf(buffer), "abc\nd|ef");
    EXPECT_TRUE(buffer.codeModified());
    EXPECT_FALSE(buffer.undo());

    EXPECT_TRUE(buffer.redo());
    EXPECT_EQ(stateOf(buffer), "f\nnew|");
    EXPECT_FALSE(buffer.redo());
}

TEST(CodeBuffer, ANewEditDropsWhatCouldBeRedone)
{
    CodeBuffer buffer;
    loadState(buffer, "|");
    buffer.insertText(0, 0, "a");
    buffer.undo();
    buffer.insertText(0, 0, "b");
    EXPECT_FALSE(buffer.canRedo());
    buffer.undo();
    EXPECT_EQ(buffer.line(0), "");
}

TEST(CodeBuffer, HistoryStaysWithinItsLimitDroppingTheOldestSteps)
{
    CodeBuffer buffer;
    loadState(buffer, "|");
    buffer.setHistoryLimit(4096);
    for (int i = 0; i < 200; ++i)
        buffer.insertText(0, 0, QString(10, QChar(u'a' + i % 26)));
    EXPECT_LE(buffer.historyBytes(), 4096);
    int steps = 0;
    while (buffer.undo())
        ++steps;
    EXPECT_GT(steps, 0);
    EXPECT_LT(steps, 200);
    // What is left is the text as it was before the oldest kept step.
    EXPECT_EQ(buffer.line(0).size(), (200 - steps) * 10);
    EXPECT_TRUE(buffer.line(0).endsWith(QString(10, u'a')));
}

TEST(CodeBuffer, AStepLargerThanTheLimitIsNotKept)
{
    CodeBuffer buffer;
    loadState(buffer, "|");
    buffer.setHistoryLimit(1000);
    buffer.insertText(0, 0, QString(10000, u'x'));
    EXPECT_FALSE(buffer.canUndo());
    EXPECT_LE(buffer.historyBytes(), 1000);
    EXPECT_EQ(buffer.line(0).size(), 10000);
}

// New and Open replace the whole text and the file it belongs to as one
// step: undo gives both back, redo takes them again, and the typing that
// follows is a step of its own.
TEST(CodeBuffer, ReplacingTheDocumentIsOneUndoStepWithItsName)
{
    CodeBuffer buffer;
    loadState(buffer, "mine|");
    const FileIdentity mine{"mine", "mine", TextEncoding::Utf8Bom};
    buffer.replaceDocument(QStringList{"placeholder"}, mine);
    buffer.setCursor(0, 4);
    buffer.beginUndoStep(CodeBuffer::StepKind::Typing);
    buffer.InsertAtCursor("x");
    buffer.endUndoStep();
    buffer.setScroll(3, 2);

    const FileIdentity fresh{QString(), QString(), TextEncoding::Utf8Bom};
    buffer.replaceDocument(CodeBuffer::newProgramLines(), fresh);
    EXPECT_EQ(buffer.lines(), CodeBuffer::newProgramLines());
    EXPECT_EQ(buffer.identity(), fresh);
    EXPECT_EQ(stateOf(buffer).left(3), "|//");
    EXPECT_EQ(buffer.topLine(), 0);
    EXPECT_EQ(buffer.leftColumn(), 0);

    buffer.beginUndoStep(CodeBuffer::StepKind::Typing);
    buffer.InsertAtCursor("y");
    buffer.endUndoStep();
    ASSERT_TRUE(buffer.undo());
    EXPECT_EQ(buffer.line(0), "//");
    ASSERT_TRUE(buffer.undo());
    EXPECT_EQ(stateOf(buffer), "placx|eholder");
    EXPECT_EQ(buffer.identity(), mine);
    ASSERT_TRUE(buffer.redo());
    EXPECT_EQ(buffer.identity(), fresh);
    EXPECT_EQ(buffer.lines(), CodeBuffer::newProgramLines());

    // No lines at all still make one.
    buffer.replaceDocument(QStringList{}, fresh);
    EXPECT_EQ(buffer.lines(), QStringList{""});
}

// The replaced text counts toward the history's limit: a huge text is not
// kept twice over.
TEST(CodeBuffer, AReplacedTextCountsTowardTheLimit)
{
    CodeBuffer buffer;
    buffer.setHistoryLimit(64 * 1024);
    buffer.replaceDocument(QStringList(20000, QStringLiteral("line of code")), {});
    EXPECT_LE(buffer.historyBytes(), 64 * 1024);
    EXPECT_FALSE(buffer.canUndo());
    buffer.replaceDocument(CodeBuffer::newProgramLines(), {});
    EXPECT_LE(buffer.historyBytes(), 64 * 1024);
}

// Views repaint and the recovery journal writes on these signals alone, so
// every change must announce itself, and a command only once.
TEST(CodeBuffer, EveryChangeAnnouncesItselfOnceAStep)
{
    struct Case {
        const char *label;
        std::function<void(CodeBuffer &)> change;
        int content;
        int view;
    };
    const std::vector<Case> cases = {
        {"an edit of its own", [](CodeBuffer &b) { b.insertText(0, 1, "x"); }, 1, 0},
        {"a step of several edits and a move",
         [](CodeBuffer &b) {
             b.beginUndoStep();
             b.insertText(0, 1, "x");
             b.insertLine(1, "new");
             b.removeText(2, 0, 1);
             b.setCursor(1, 2);
             b.ScrollToCursor();
             b.endUndoStep();
         },
         1, 1},
        {"a step that changes nothing",
         [](CodeBuffer &b) {
             b.beginUndoStep();
             b.setCursor(0, 2);
             b.endUndoStep();
         },
         0, 0},
        {"the cursor moves", [](CodeBuffer &b) { b.setCursor(1, 0); }, 0, 1},
        {"the cursor stays", [](CodeBuffer &b) { b.setCursor(0, 2); }, 0, 0},
        {"the view scrolls", [](CodeBuffer &b) { b.setScroll(3, 0); }, 0, 1},
        {"the cursor already shows", [](CodeBuffer &b) { b.ScrollToCursor(); }, 0, 0},
        {"a selection starts", [](CodeBuffer &b) { b.setSelectionActive(true); }, 0, 1},
        {"its anchor moves", [](CodeBuffer &b) { b.setSelectionAnchor(1, 1); }, 0, 1},
        {"the name changes", [](CodeBuffer &b) { b.setFileName("cat"); }, 1, 0},
        {"the name is typed again", [](CodeBuffer &b) { b.setFileName(""); }, 0, 0},
        {"a save under a name", [](CodeBuffer &b) { b.savedAs("cat", TextEncoding::Utf8Bom); }, 1, 0},
        {"undo",
         [](CodeBuffer &b) {
             b.insertText(1, 0, "x");
             b.undo();
         },
         2, 0},
        {"undo of a step that moved the cursor",
         [](CodeBuffer &b) {
             b.beginUndoStep();
             b.setCursor(1, 0);
             b.insertText(1, 0, "x");
             b.endUndoStep();
             b.undo();
         },
         2, 2},
        {"New and Open", [](CodeBuffer &b) { b.replaceDocument(CodeText(QStringList{"a"}), {}); }, 1, 1},
        {"a loaded text", [](CodeBuffer &b) { b.loadLines({"a", "b"}); }, 1, 1},
        {"the new program", [](CodeBuffer &b) { b.NewProgram(); }, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        CodeBuffer buffer;
        loadState(buffer, "ab|c\nde\nf");
        int content = 0;
        int view = 0;
        QObject::connect(&buffer, &CodeBuffer::contentChanged, [&] { ++content; });
        QObject::connect(&buffer, &CodeBuffer::viewChanged, [&] { ++view; });
        c.change(buffer);
        EXPECT_EQ(content, c.content);
        EXPECT_EQ(view, c.view);
    }
}

} // namespace
} // namespace quill
