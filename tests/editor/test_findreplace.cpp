#include "editor/findreplace.h"
#include "tests/editor/cursortext.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

using testing::CursorText;
using testing::markCursor;
using testing::parseCursorText;

struct RequestCase {
    const char *name;
    QString before;  // one line, "|" at the cursor
    bool valid;
    QString FindText;
    QString ReplaceText;
    QString after;
};

TEST(ParseFindRequest, TakesTheRequestBeforeTheCursor)
{
    const std::vector<RequestCase> cases = {
        {"braces at the line's end", "foo {bar}|", true, "bar", "", "foo |"},
        {"no opening brace: the request starts the line", "abc}x|", true, "abc", "x", "|"},
        {"missing closing brace", "abc|", false, "", "abc", "abc|"},
        {"cursor at column 0", "|{a}b", false, "", "", "|{a}b"},
        {"empty request", "x{}|", true, "", "", "x|"},
        {"text after the cursor stays", "a{b}c|d", true, "b", "c", "a|d"},
        {"a request after the cursor is not read", "ab|{c}d", false, "", "ab", "ab|{c}d"},
        {"the last closing brace counts", "{a}{b}c|", true, "b", "c", "{a}|"},
        {"an opening brace after the closing one is replace text", "x}{y|", true, "x", "{y", "|"},
        {"spaces are part of both texts", "{ a }b c|", true, " a ", "b c", "|"},
    };
    for (const RequestCase &c : cases) {
        SCOPED_TRACE(c.name);
        const CursorText before = parseCursorText({c.before});
        const FindRequest request = ParseFindRequest(before.lines[0], before.column);
        EXPECT_EQ(request.valid, c.valid);
        EXPECT_EQ(request.FindText, c.FindText);
        EXPECT_EQ(request.ReplaceText, c.ReplaceText);
        EXPECT_EQ(markCursor({{request.line}, 0, request.cursorColumn}), QStringList{c.after});
    }
}

struct CommandCase {
    const char *name;
    QStringList before;
    QStringList keys;
    QStringList after;
    QString FindText;
    QString ReplaceText;
};

void press(CursorText &text, SearchState &state, const QString &key)
{
    std::vector<TextSplice> changes;
    if (key == "Fi") {
        if (const auto change = findCommand(text.lines, text.line, text.column, state))
            changes.push_back(*change);
    } else if (key == "Rp") {
        changes = replaceCommand(text.lines, text.line, text.column, state);
    } else if (key == "Fn" && !state.FindText.isEmpty()) {
        if (const auto change = findNextCommand(text.lines, text.line, text.column, state))
            changes.push_back(*change);
    } else if (key == "Rn" && !state.FindText.isEmpty()) {
        if (const auto change = replaceNextCommand(text.lines, text.line, state))
            changes.push_back(*change);
    }
    for (const TextSplice &change : changes)
        apply(text, change);
}

TEST(FindAndReplaceCommands, RunOnTheText)
{
    const std::vector<CommandCase> cases = {
        {"find goes to the first line below holding the text",
         {"foo {bar}|", "nothing", "a bar b bar"}, {"Fi"},
         {"foo ", "nothing", "a |bar b bar"}, "bar", ""},
        {"find with no later match: no wrap, the request is still removed",
         {"bar", "foo {bar}|", "x"}, {"Fi"},
         {"bar", "foo |", "x"}, "bar", ""},
        {"an occurrence right after the request's start is found",
         {"{x}| x = 1"}, {"Fi"},
         {" |x = 1"}, "x", ""},
        {"a malformed request changes nothing and empties FindText",
         {"abc|", "abc"}, {"Fi", "Fn", "Rn"},
         {"abc|", "abc"}, "", "abc"},
        {"the empty request removes itself and finds nothing",
         {"{}|", "", "x"}, {"Fi", "Fn"},
         {"|", "", "x"}, "", ""},
        {"find next skips a line whose first occurrence is under the cursor",
         {"{x}|", "ab x x", "x"}, {"Fi", "Fn"},
         {"", "ab x x", "|x"}, "x", ""},
        {"only the first occurrence of the cursor line counts",
         {"{x}|", "x x", "y"}, {"Fi", "Fn"},
         {"", "|x x", "y"}, "x", ""},
        {"find is case-sensitive",
         {"{Ab}|", "ab AB", "xAb"}, {"Fi"},
         {"", "ab AB", "x|Ab"}, "Ab", ""},
        {"replace takes the whole next line that holds the text",
         {"{a}b|", "xyz", "a+a"}, {"Rp"},
         {"", "xyz", "|b+b"}, "a", "b"},
        {"replace on the request's own line ignores the cursor column",
         {"x x {x}y|"}, {"Rp"},
         {"|y y "}, "x", "y"},
        {"replace next goes on line by line and stops at the end",
         {"{ab}X|", "ab-ab-ab", "ab", "z"}, {"Rp", "Rn", "Rn"},
         {"", "X-X-X", "|X", "z"}, "ab", "X"},
        {"a replacement holding the text replaces one line per press",
         {"{a}aa|", "a"}, {"Rp", "Rn"},
         {"", "|aaaa"}, "a", "aa"},
        {"replace with nothing to replace still removes the request",
         {"{q}r|", "abc"}, {"Rp"},
         {"|", "abc"}, "q", "r"},
    };
    for (const CommandCase &c : cases) {
        SCOPED_TRACE(c.name);
        CursorText text = parseCursorText(c.before);
        SearchState state;
        for (const QString &key : c.keys)
            press(text, state, key);
        EXPECT_EQ(markCursor(text), c.after);
        EXPECT_EQ(state.FindText, c.FindText);
        EXPECT_EQ(state.ReplaceText, c.ReplaceText);
    }
}

TEST(FindAndReplaceCommands, FailedRequestStopsTheRepeatsOfAnEarlierSearch)
{
    CursorText text = parseCursorText({"abc|", "a", "a"});
    SearchState state{"a", "b"};
    press(text, state, "Fi");
    press(text, state, "Rn");
    press(text, state, "Fn");
    EXPECT_EQ(markCursor(text), (QStringList{"abc|", "a", "a"}));
    EXPECT_EQ(state.FindText, "");
}

// Rp changes two lines far apart, the request's and the replaced one, and
// keeps every line between them.
TEST(FindAndReplaceCommands, ReplaceFarBelowKeepsTheLinesBetween)
{
    QStringList lines;
    for (int i = 0; i < 5000; ++i)
        lines.append(QStringLiteral("line %1").arg(i));
    lines.front() = QStringLiteral("{needle}pin");
    lines.back() = QStringLiteral("a needle");
    CursorText text{lines, 0, 11};
    SearchState state;
    const auto changes = replaceCommand(text.lines, text.line, text.column, state);
    ASSERT_EQ(changes.size(), 2u);
    for (const TextSplice &change : changes)
        testing::apply(text, change);
    QStringList expected = lines;
    expected.front() = QString();
    expected.back() = QStringLiteral("a pin");
    EXPECT_EQ(text.lines, expected);
    EXPECT_EQ(text.line, 4999);
    EXPECT_EQ(text.column, 2);
}

} // namespace
} // namespace quill
