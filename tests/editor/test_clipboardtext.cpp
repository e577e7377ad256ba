#include "editor/clipboardtext.h"
#include "tests/editor/cursortext.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

using testing::CursorText;

struct SelectionCase {
    const char *name;
    QStringList before;  // "|" at the cursor
    int anchorLine;
    int anchorColumn;
    QStringList ClipLines;   // what Cp and Ct take
    QStringList afterCut;    // the text after Ct
};

SelectionRange rangeOf(const CursorText &text, int anchorLine, int anchorColumn)
{
    return SelectionRange{anchorLine, anchorColumn, text.line, text.column};
}

const std::vector<SelectionCase> SelectionCases = {
    {"within a line, the cursor's character included", {"abc|def"}, 0, 1, {"bcd"}, {"a|ef"}},
    {"on a later line of several", {"", "", "abcde|fgh"}, 2, 3, {"def"}, {"", "", "abc|gh"}},
    {"the cursor before the anchor on its line", {"", "", "abc|defgh"}, 2, 5, {}, {"", "", "abc|defgh"}},
    {"the anchor below the cursor", {"", "", "a|bc", "", "x"}, 4, 0, {}, {"", "", "a|bc", "", "x"}},
    {"across lines: the three pieces, joined where they meet",
     {"x", "abcd", "efg", "|hij"}, 1, 2, {"cd", "efg", "h"}, {"x", "ab|ij"}},
    {"the end-of-line position adds no character", {"ab|"}, 0, 0, {"ab"}, {"|"}},
    {"an anchor column beyond its line takes nothing of it", {"ab", "c|d"}, 0, 5, {"", "cd"}, {"ab|"}},
    {"whole lines from start to end", {"abc", "de|", "f"}, 0, 0, {"abc", "de"}, {"|", "f"}},
    {"the anchor at the cursor takes one character", {"ab|c"}, 0, 2, {"c"}, {"ab|"}},
};

TEST(SelectedLines, TakeTheRangeFromTheAnchorThroughTheCursor)
{
    for (const SelectionCase &c : SelectionCases) {
        SCOPED_TRACE(c.name);
        const CursorText text = testing::parseCursorText(c.before);
        EXPECT_EQ(SelectedLines(text.lines, rangeOf(text, c.anchorLine, c.anchorColumn)), c.ClipLines);
    }
}

TEST(CutSelection, TakesTheRangeOutAsOneChange)
{
    for (const SelectionCase &c : SelectionCases) {
        SCOPED_TRACE(c.name);
        CursorText text = testing::parseCursorText(c.before);
        const Cut cut = CutSelection(text.lines, rangeOf(text, c.anchorLine, c.anchorColumn));
        EXPECT_EQ(cut.ClipLines, c.ClipLines);
        EXPECT_EQ(cut.removal.has_value(), c.before != c.afterCut);
        if (cut.removal)
            testing::apply(text, *cut.removal);
        EXPECT_EQ(testing::markCursor(text), c.afterCut);
    }
}

// Fixtures for characters outside the Basic Multilingual Plane: "P" stands
// for one such character, two 16-bit units long.
const QString Pair = QString::fromUtf8("\xF0\x9F\x98\x80");

QStringList withPairs(QStringList lines)
{
    for (QString &line : lines)
        line.replace(u'P', Pair);
    return lines;
}

struct PairSelectionCase {
    const char *name;
    QStringList before;  // "|" at the cursor, "P" a pair
    int anchorLine;
    int anchorColumn;    // in units of the text with the pairs in place
    QStringList ClipLines;
    QStringList afterCut;
};

TEST(CopyAndCut, NeverSplitAPairAtEitherEndOfTheRange)
{
    const std::vector<PairSelectionCase> cases = {
        {"the cursor on a pair takes all of it", {"a|Pb"}, 0, 0, {"aP"}, {"|b"}},
        {"an anchor inside a pair starts before it", {"aPb|c"}, 0, 2, {"Pbc"}, {"a|"}},
        {"pairs at both ends", {"P|Px"}, 0, 1, {"PP"}, {"|x"}},
        {"the anchor inside the cursor's own pair takes that pair", {"a|Pb"}, 0, 2, {"P"}, {"a|b"}},
        {"across lines, a pair at each end", {"aP", "b|Pc"}, 0, 2, {"P", "bP"}, {"a|c"}},
        {"across lines, the anchor on a pair", {"xPy", "|z"}, 0, 1, {"Py", "z"}, {"x|"}},
    };
    for (const PairSelectionCase &c : cases) {
        SCOPED_TRACE(c.name);
        CursorText text = testing::parseCursorText(withPairs(c.before));
        const SelectionRange range = rangeOf(text, c.anchorLine, c.anchorColumn);
        EXPECT_EQ(SelectedLines(text.lines, range), withPairs(c.ClipLines));
        const Cut cut = CutSelection(text.lines, range);
        EXPECT_EQ(cut.ClipLines, withPairs(c.ClipLines));
        ASSERT_TRUE(cut.removal);
        testing::apply(text, *cut.removal);
        EXPECT_EQ(testing::markCursor(text), withPairs(c.afterCut));
    }
}

TEST(PasteInsertion, NeverSplitsOrLeavesHalfAPair)
{
    struct Case {
        const char *name;
        QStringList before;  // "P" a pair
        int column;          // where the paste goes, in units
        QString clipboard;
        QStringList after;   // "|" at the cursor
    };
    const QChar high(0xD83D);
    const QChar low(0xDE00);
    const std::vector<Case> cases = {
        {"a pair pasted whole, the cursor after it", {"ab"}, 1, Pair, {"aP|b"}},
        {"a column inside a pair pastes before the pair", {"aPb"}, 2, "x", {"ax|Pb"}},
        {"half a pair on the clipboard becomes a replacement character", {"ab"}, 1,
         QString("x") + high, {QString("ax") + QChar::ReplacementCharacter + "|b"}},
        {"a lone low half at the start of a pasted line", {"ab"}, 0, QString(low) + "\r\ny\r\n",
         {"ab", QString(QChar::ReplacementCharacter), "y|"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CursorText text;
        text.lines = withPairs(c.before);
        text.column = c.column;
        const auto paste = PasteInsertion(text.lines, 0, c.column, ClipboardLines(c.clipboard));
        ASSERT_TRUE(paste);
        testing::apply(text, *paste);
        EXPECT_EQ(testing::markCursor(text), withPairs(c.after));
    }
}

TEST(ClipboardText, EndsEveryLineWithCrLf)
{
    EXPECT_EQ(ClipboardText({"cde"}), "cde\r\n");
    EXPECT_EQ(ClipboardText({"cd", "efg", "h"}), "cd\r\nefg\r\nh\r\n");
    EXPECT_EQ(ClipboardText({""}), "\r\n");
    EXPECT_EQ(ClipboardText({}), "");
}

struct SplitCase {
    const char *name;
    QString text;
    QStringList lines;
};

TEST(ClipboardLines, AcceptCrLfLfAndCr)
{
    const std::vector<SplitCase> cases = {
        {"no line break", "xy", {"xy"}},
        {"CR LF, the final one adds no line", "a\r\nb\r\n", {"a", "b"}},
        {"LF", "a\nb", {"a", "b"}},
        {"CR", "a\rb\r", {"a", "b"}},
        {"an empty line between", "a\n\nb", {"a", "", "b"}},
        {"CR then CR LF", "a\r\r\nb", {"a", "", "b"}},
        {"a line break alone", "\r\n", {""}},
        {"nothing", "", {}},
    };
    for (const SplitCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClipboardLines(c.text), c.lines);
    }
}

struct PasteCase {
    const char *name;
    QStringList before;
    QString clipboard;
    QStringList after;
};

TEST(PasteInsertion, OneLineIntoTheLineManyAfterIt)
{
    const std::vector<PasteCase> cases = {
        {"one line at the cursor", {"a|b"}, "xy", {"axy|b"}},
        {"one line at the end of the line", {"ab|"}, "xy\r\n", {"abxy|"}},
        {"two lines after the cursor line, never splitting it", {"a|b", "z"}, "l1\r\nl2\r\n",
         {"ab", "l1", "l2|", "z"}},
        {"a copy from within one line pastes back into a line", {"|q"}, ClipboardText({"cde"}), {"cde|q"}},
        {"lines with LF and an empty last line", {"|"}, "p\n\n", {"", "p", "|"}},
    };
    for (const PasteCase &c : cases) {
        SCOPED_TRACE(c.name);
        CursorText text = testing::parseCursorText(c.before);
        const auto paste = PasteInsertion(text.lines, text.line, text.column, ClipboardLines(c.clipboard));
        ASSERT_TRUE(paste);
        testing::apply(text, *paste);
        EXPECT_EQ(testing::markCursor(text), c.after);
    }
    EXPECT_FALSE(PasteInsertion({"ab"}, 0, 1, ClipboardLines("")));
}

TEST(PasteInsertion, ALargeClipboardIsOneChange)
{
    const QString tenMegabytes(10 * 1024 * 1024, u'x');
    const auto oneLine = PasteInsertion({"ab"}, 0, 1, ClipboardLines(tenMegabytes));
    ASSERT_TRUE(oneLine);
    EXPECT_EQ(oneLine->insertedLines.front().size(), tenMegabytes.size() + 2);
    EXPECT_EQ(oneLine->cursorColumn, 1 + tenMegabytes.size());

    QString manyLines;
    for (int i = 0; i < 1000000; ++i)
        manyLines += QStringLiteral("line\n");
    QStringList lines(1000, QStringLiteral("code"));
    const auto many = PasteInsertion(lines, 0, 0, ClipboardLines(manyLines));
    ASSERT_TRUE(many);
    applySplice(lines, *many);
    EXPECT_EQ(lines.size(), 1001000);
    EXPECT_EQ(many->cursorLine, 1000000);
    EXPECT_EQ(lines[1000000], "line");
    EXPECT_EQ(lines[1000001], "code");
}

} // namespace
} // namespace quill
