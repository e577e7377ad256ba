#include "editor/jumptargets.h"
#include "tests/builder/qtprint.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

const QStringList NewProgramText = {
    "//", "function init(){", "}", "", "function move(i){", "}", "", "function update(){", "}", "",
    "function mousedown(x,y){", "}", "", "function mouseup(x,y){", "}", "",
};

struct ListCase {
    const char *name;
    QStringList text;
    QStringList items;
    QList<int> JumpLines;
};

TEST(ListJumpTargets, ListsTheFunctionsDeclaredAtColumnZero)
{
    const std::vector<ListCase> cases = {
        {"the text of a new program", NewProgramText,
         {"init", "move", "update", "mousedown", "mouseup"}, {1, 4, 7, 10, 13}},
        {"a parenthesis at the name's start is kept", {"function (x){"}, {"(x){"}, {0}},
        {"indented declarations are not listed", {"  function inner(){", "\tfunction tab(){"}, {}, {}},
        {"a function declared twice is listed twice, in text order",
         {"function b(){}", "x", "function a(){}", "function b(){}"}, {"b", "a", "b"}, {0, 2, 3}},
        {"nine characters exactly: no space, no match",
         {"function", "functions()", "Function f(){", "function  f(){"}, {" f"}, {3}},
        {"a name without parenthesis is the rest of the line", {"function tail"}, {"tail"}, {0}},
        {"no functions", {"var a;", ""}, {}, {}},
    };
    for (const ListCase &c : cases) {
        SCOPED_TRACE(c.name);
        const JumpList jumps = ListJumpTargets(c.text);
        EXPECT_EQ(jumps.items, c.items);
        EXPECT_EQ(jumps.JumpLines, c.JumpLines);
    }
}

struct TargetCase {
    const char *name;
    int index;
    int lineCount;
    std::optional<int> line;
};

TEST(JumpTargetLine, StaysInsideTheText)
{
    const JumpList jumps = ListJumpTargets(NewProgramText);  // lines 1, 4, 7, 10, 13
    const std::vector<TargetCase> cases = {
        {"choosing move goes to line 4", 1, 16, 4},
        {"the text shrank below the target", 4, 9, 8},
        {"the text shrank to one line", 2, 1, 0},
        {"an index the list does not hold", 5, 16, std::nullopt},
        {"a negative index", -1, 16, std::nullopt},
    };
    for (const TargetCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(JumpTargetLine(jumps.JumpLines, c.index, c.lineCount), c.line);
    }
}

} // namespace
} // namespace quill
