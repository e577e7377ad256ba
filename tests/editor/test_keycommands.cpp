#include "editor/keycommands.h"

#include "editor/codebuffer.h"
#include "editortext.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

using testing::FakeKeyboard;
using testing::FakeWindow;
using testing::loadState;
using testing::stateOf;

const QString Pair = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two units

struct Case {
    const char *label;
    QString before;
    QStringList keys;
    QString after;
    bool shifted = false;
};

class Commands : public ::testing::Test {
protected:
    void run(const std::vector<Case> &cases)
    {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.label);
            CodeBuffer buffer;
            FakeKeyboard keyboard;
            keyboard.shifted = c.shifted;
            FakeWindow window;
            KeyCommands commands(buffer, keyboard, window);
            loadState(buffer, c.before);
            for (const QString &key : c.keys)
                commands.RunKeyCommand(key);
            EXPECT_EQ(stateOf(buffer), c.after);
            EXPECT_TRUE(buffer.codeModified());
            // Undoing every step gives back the text the case began with,
            // and the cursor too when there was a step to undo.
            bool undid = false;
            while (buffer.undo())
                undid = true;
            CodeBuffer original;
            loadState(original, c.before);
            EXPECT_EQ(buffer.lines(), original.lines());
            if (undid)
                EXPECT_EQ(stateOf(buffer), c.before);
        }
    }
};

TEST_F(Commands, CursorMoves)
{
    run({
        {"up on the first line", "a|bc\nd", {"^^"}, "a|bc\nd"},
        {"up keeps the column", "abcd\nab|cd", {"^^"}, "ab|cd\nabcd"},
        {"up onto a shorter line", "ab\nabcd|", {"^^"}, "ab|\nabcd"},
        {"up onto an empty line", "\nab|c", {"^^"}, "|\nabc"},
        {"down on the last line", "a\nb|c", {"vv"}, "a\nb|c"},
        {"down from column 10 onto 4 characters", "abcdefghij|\nabcd", {"vv"}, "abcdefghij\nabcd|"},
        {"right inside a line", "a|bc", {"->"}, "ab|c"},
        {"right at the end of a line", "ab|\ncd", {"->"}, "ab\n|cd"},
        {"right at the end of the text", "a\ncd|", {"->"}, "a\ncd|"},
        {"right on an empty last line", "a\n|", {"->"}, "a\n|"},
        {"left inside a line", "ab|c", {"<-"}, "a|bc"},
        {"left at column 0", "ab\n|cd", {"<-"}, "ab|\ncd"},
        {"left at the start of the text", "|ab", {"<-"}, "|ab"},
        {"home", "ab\nc|d", {"Hm"}, "ab\n|cd"},
        {"home shifted", "ab\nc|d", {"Hm"}, "|ab\ncd", true},
        {"end", "a|bc\nd", {"En"}, "abc|\nd"},
        {"end on an empty line", "|\nd", {"En"}, "|\nd"},
        {"end shifted goes to the start of the last line", "a|bc\nde", {"En"}, "abc\n|de", true},
        {"right over a pair", "|" + Pair + "b", {"->"}, Pair + "|b"},
        {"left over a pair", Pair + "|b", {"<-"}, "|" + Pair + "b"},
        {"up never lands inside a pair", "a" + Pair + "b\nab|cd", {"^^"}, "a|" + Pair + "b\nabcd"},
    });
}

TEST_F(Commands, Typing)
{
    run({
        {"at the end", "abc|", {"a"}, "abca|"},
        {"inside", "ab|c", {"x"}, "abx|c"},
        {"empty line", "a\n|", {"q"}, "a\nq|"},
        {"space", "a|b", {" "}, "a |b"},
        {"ampersand key", "a|", {"&&"}, "a&|"},
        {"one ampersand is a character", "a|", {"&"}, "a&|"},
        {"a character beyond 127", "a|", {QString(QChar(0xE9))}, QString("a") + QChar(0xE9) + "|"},
        {"a pair is typed whole", "a|b", {Pair}, "a" + Pair + "|b"},
        {"half a pair types nothing", "a|b", {Pair.left(1)}, "a|b"},
        {"a line break types nothing", "a|b", {"\n"}, "a|b"},
        {"a carriage return types nothing", "a|b", {"\r"}, "a|b"},
        {"empty caption", "a|b", {""}, "a|b"},
        {"several", "|", {"v", "a", "r", " ", "x"}, "var x|"},
    });
}

TEST_F(Commands, Enter)
{
    run({
        {"end of an indented line", "  if(a){|", {"Rt"}, "  if(a){\n  |"},
        {"inside, blanks before the tail dropped", "  ab|  cd", {"Rt"}, "  ab\n  |cd"},
        {"inside the indentation", "  |  abc", {"Rt"}, "  \n    |abc"},
        {"head keeps trailing spaces", "ab  |cd", {"Rt"}, "ab  \n|cd"},
        {"tab and control characters are blanks of the tail", QString("ab|\t") + QChar(1) + "cd", {"Rt"}, "ab\n|cd"},
        {"tab is not indentation", "\tab|", {"Rt"}, "\tab\n|"},
        {"column 0", "|abc", {"Rt"}, "\n|abc"},
        {"empty line", "a\n|\nb", {"Rt"}, "a\n\n|\nb"},
        {"last line", "a\n  b|", {"Rt"}, "a\n  b\n  |"},
        {"tail only blanks", "  a|   ", {"Rt"}, "  a\n  |"},
    });
}

TEST_F(Commands, BackspaceAndDelete)
{
    run({
        {"backspace inside", "ab|c", {"Bs"}, "a|c"},
        {"backspace at the start of the text deletes forwards", "|abc", {"Bs"}, "|bc"},
        {"backspace on the only empty line", "|", {"Bs"}, "|"},
        {"backspace joins with the line above", "ab\ncd\n|ef", {"Bs"}, "ab\ncd|ef"},
        {"backspace joins an empty line", "ab\n|", {"Bs"}, "ab|"},
        {"backspace over a pair", "a" + Pair + "|", {"Bs"}, "a|"},
        {"backspace forwards over a pair", "|" + Pair + "b", {"Bs"}, "|b"},
        {"delete inside", "a|bc", {"Dl"}, "a|c"},
        {"delete joins the next line", "ab|\ncd", {"Dl"}, "ab|cd"},
        {"delete joins an empty next line", "ab|\n\ncd", {"Dl"}, "ab|\ncd"},
        {"delete at the end of the text", "a\nab|", {"Dl"}, "a\nab|"},
        {"delete on the only empty line", "|", {"Dl"}, "|"},
        {"delete a pair", "a|" + Pair + "b", {"Dl"}, "a|b"},
    });
}

TEST_F(Commands, WholeLines)
{
    run({
        {"copy line", "ab|c\nd", {"Lc"}, "abc\nab|c\nd"},
        {"copy the last line", "a\nb|", {"Lc"}, "a\nb\nb|"},
        {"x to y", "x=x+1;|", {"Ly"}, "x=x+1;\ny=y+1;|"},
        {"x to y keeps the column", "X|x", {"Ly"}, "Xx\nX|y"},
        {"x to y and z", "p|x\nq", {"Lz"}, "px\npy\np|z\nq"},
        {"delete the only line", "ab|c", {"Ld"}, "|"},
        {"delete the last line", "abc\nd|e", {"Ld"}, "|abc"},
        {"delete a middle line", "a\nb|b\nc", {"Ld"}, "a\n|c"},
        {"delete the first line", "a|a\nbb", {"Ld"}, "|bb"},
        {"delete an empty line", "a\n|\nb", {"Ld"}, "a\n|b"},
        {"copy an empty line", "a\n|", {"Lc"}, "a\n\n|"},
        {"x to y on an empty line", "|", {"Ly"}, "\n|"},
        {"x to y and z at the end of the line", "x|", {"Lz"}, "x\ny\nz|"},
        {"copy the first line at column 0", "|ab\nc", {"Lc"}, "ab\n|ab\nc"},
    });
}

TEST_F(Commands, DeferredCommandsTypeNothing)
{
    std::vector<Case> cases;
    for (const char *caption : {"Ky", "Tm", "Sp", "Au", "Jp", "Sl", "Cp", "Ps", "Ct", "Fi", "Fn", "Rp", "Rn"})
        cases.push_back({caption, "ab|c\nd", {caption}, "ab|c\nd"});
    run(cases);
}

TEST(CommandTable, RowsInTheirOrder)
{
    EXPECT_EQ(KeyCommands::commandCaptions(),
              QStringList({"^^", "->", "vv", "<-", "Hm", "En", "Ky", "Tm", "Sp", "Au", "Jp", "Rt", "Bs", "Dl",
                           "Lc", "Ly", "Lz", "Ld", "Sh", "Sl", "Cp", "Ps", "Ct", "Fi", "Fn", "Rp", "Rn", "Wn"}));
}

class Fixture : public ::testing::Test {
protected:
    CodeBuffer buffer;
    FakeKeyboard keyboard;
    FakeWindow window;
    KeyCommands commands{buffer, keyboard, window};
};

TEST_F(Fixture, EveryCommandSetsCodeModifiedAndScrollsTheCursorIntoView)
{
    for (const QString &caption : KeyCommands::commandCaptions() + QStringList{"", "a"}) {
        SCOPED_TRACE(caption.toStdString());
        buffer.loadLines({"one", "two", "three"});
        buffer.setViewSize(2, 1);
        buffer.setCursor(2, 1);
        buffer.setScroll(40, 30);
        commands.RunKeyCommand(caption);
        EXPECT_TRUE(buffer.codeModified());
        EXPECT_EQ(buffer.topLine(), buffer.cursorLine());
        EXPECT_EQ(buffer.leftColumn(), buffer.cursorColumn());
    }
}

TEST_F(Fixture, ShiftTogglesTheLayerAndUnshiftClearsIt)
{
    commands.RunKeyCommand("Sh");
    EXPECT_TRUE(keyboard.shifted);
    commands.RunKeyCommand("Sh");
    EXPECT_FALSE(keyboard.shifted);
    commands.RunKeyCommand("Sh");
    keyboard.Unshift();
    EXPECT_FALSE(keyboard.shifted);
    EXPECT_EQ(keyboard.captionPasses, 4);
    EXPECT_EQ(testing::textOf(buffer), CodeBuffer::newProgramLines().join(u'\n'));
}

TEST_F(Fixture, WindowToggle)
{
    commands.RunKeyCommand("Wn");
    EXPECT_EQ(window.mode, WindowState::Mode::Maximized);
    commands.RunKeyCommand("Wn");
    EXPECT_EQ(window.mode, WindowState::Mode::Normal);
    window.mode = WindowState::Mode::Minimized;
    commands.RunKeyCommand("Wn");
    EXPECT_EQ(window.mode, WindowState::Mode::Normal);
}

TEST_F(Fixture, SelectionSurvivesCommands)
{
    buffer.loadLines({"abc", "def"});
    buffer.setSelectionActive(true);
    buffer.setSelectionAnchor(0, 1);
    for (const char *caption : {"vv", "Rt", "Bs", "Ld", "x", "Lc"})
        commands.RunKeyCommand(caption);
    EXPECT_TRUE(buffer.selectionActive());
    EXPECT_EQ(buffer.selectionAnchorLine(), 0);
    EXPECT_EQ(buffer.selectionAnchorColumn(), 1);
}

// ---- undo steps -------------------------------------------------------------

TEST_F(Fixture, TypedCharactersAreOneStepUntilTheCursorMoves)
{
    loadState(buffer, "|");
    for (const char *caption : {"a", "b", "c"})
        commands.RunKeyCommand(caption);
    commands.RunKeyCommand("<-");
    commands.RunKeyCommand("x");
    commands.RunKeyCommand("y");
    EXPECT_EQ(stateOf(buffer), "abxy|c");
    buffer.undo();
    EXPECT_EQ(stateOf(buffer), "ab|c");
    buffer.undo();
    EXPECT_EQ(stateOf(buffer), "|");
    buffer.redo();
    EXPECT_EQ(stateOf(buffer), "abc|");
    buffer.redo();
    EXPECT_EQ(stateOf(buffer), "abxy|c");
}

TEST_F(Fixture, AnotherCommandEndsARunOfTyping)
{
    loadState(buffer, "|");
    commands.RunKeyCommand("a");
    commands.RunKeyCommand("Rt");
    commands.RunKeyCommand("b");
    commands.RunKeyCommand("Bs");
    commands.RunKeyCommand("c");
    const QStringList expected = {"a\nc|", "a\n|", "a\nb|", "a\n|", "a|", "|"};
    EXPECT_EQ(stateOf(buffer), expected[0]);
    for (int i = 1; i < expected.size(); ++i) {
        ASSERT_TRUE(buffer.undo());
        EXPECT_EQ(stateOf(buffer), expected[i]) << i;
    }
}

TEST_F(Fixture, ATapBetweenCharactersEndsTheRun)
{
    loadState(buffer, "|xyz");
    commands.RunKeyCommand("a");
    buffer.setCursor(0, 3);
    commands.RunKeyCommand("b");
    buffer.undo();
    EXPECT_EQ(stateOf(buffer), "axy|z");
}

TEST_F(Fixture, UndoRestoresTheCursorAndScrollsToIt)
{
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines.append(QString::number(i));
    buffer.loadLines(lines);
    buffer.setViewSize(10, 5);
    buffer.setCursor(80, 1);
    commands.RunKeyCommand("Bs");
    for (int i = 0; i < 30; ++i)
        commands.RunKeyCommand("^^");
    buffer.undo();
    EXPECT_EQ(buffer.cursorLine(), 80);
    EXPECT_EQ(buffer.cursorColumn(), 1);
    EXPECT_EQ(buffer.line(80), "80");
    EXPECT_EQ(buffer.topLine(), 76);
}

TEST_F(Fixture, CursorMovesMakeNoSteps)
{
    loadState(buffer, "ab\nc|d");
    for (const char *caption : {"^^", "->", "vv", "<-", "Hm", "En", "Sh", "Wn", ""})
        commands.RunKeyCommand(caption);
    EXPECT_FALSE(buffer.canUndo());
}

} // namespace
} // namespace quill
