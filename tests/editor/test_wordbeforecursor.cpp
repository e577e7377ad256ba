#include "editor/wordbeforecursor.h"
#include "tests/editor/cursortext.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

struct WordCase {
    const char *name;
    QString line;  // "|" at the cursor
    QString word;
};

TEST(WordBeforeCursor, TakesLowerCaseLettersUnderscoreAndBacktick)
{
    const std::vector<WordCase> cases = {
        {"a word after a space", "x = sq|", "sq"},
        {"the word ends at the cursor, not the line", "set|cam(", "set"},
        {"underscore and backtick belong to it", "a tm_`x|", "tm_`x"},
        {"an upper-case letter ends it", "myName|", "ame"},
        {"a digit ends it", "x1|", ""},
        {"a dollar sign ends it", "$el|", "el"},
        {"a dot ends it", "Math.|", ""},
        {"a word up to the line's start", "va|", "va"},
        {"cursor at column 0", "|abc", ""},
        {"codes 95 to 122 only: braces are outside", "{ab|", "ab"},
    };
    for (const WordCase &c : cases) {
        SCOPED_TRACE(c.name);
        const testing::CursorText text = testing::parseCursorText({c.line});
        EXPECT_EQ(WordBeforeCursor(text.lines[0], text.column), c.word);
    }
}

} // namespace
} // namespace quill
