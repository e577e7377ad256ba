#include "editor/templates.h"
#include "tests/editor/cursortext.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

// The supplied templates, in the order of ListFiles.
const QStringList SuppliedTemplates = {
    "back", "circle", "mm_switch", "mm_yure", "setcam", "sin",
    "tm_border", "tm_collision", "tm_out", "tm_switch", "tm_yure", "try_catch",
};

struct ChoiceCase {
    const char *name;
    QStringList templates;
    QString word;
    QStringList items;
    int WordLength;
};

TEST(ChooseTemplates, FiltersByTheWordKeepingTheOrderOfTheFileList)
{
    const std::vector<ChoiceCase> cases = {
        {"the word's templates", SuppliedTemplates, "tm_",
         {"tm_border", "tm_collision", "tm_out", "tm_switch", "tm_yure"}, 3},
        {"a word that matches nothing lists them all and removes nothing", SuppliedTemplates, "xyz",
         {"back", "circle", "mm_switch", "mm_yure", "setcam", "sin", "tm_border", "tm_collision", "tm_out",
          "tm_switch", "tm_yure", "try_catch"}, 0},
        {"no word lists them all", {"a", "b"}, "", {"a", "b"}, 0},
        {"matching is case-sensitive", {"Tmc", "tmb", "tm_a"}, "tm", {"tmb", "tm_a"}, 2},
        {"no templates at all", {}, "tm", {}, 0},
    };
    for (const ChoiceCase &c : cases) {
        SCOPED_TRACE(c.name);
        const TemplateChoices choices = ChooseTemplates(c.templates, c.word);
        EXPECT_EQ(choices.items, c.items);
        EXPECT_EQ(choices.WordLength, c.WordLength);
    }
}

struct InsertCase {
    const char *name;
    QStringList before;  // "|" at the cursor
    int WordLength;
    QStringList templateLines;
    QStringList after;
};

TEST(TemplateInsertion, InsertsOneLineAtTheCursorAndManyAsLines)
{
    const std::vector<InsertCase> cases = {
        {"many lines follow the cursor line, the typed word removed",
         {"  tm_|x", "next"}, 3, {"a=1;", "b=2;"}, {"  x", "a=1;", "b=2;|", "next"}},
        {"one line goes in at the cursor", {"try|X"}, 0, {"}catch(e){alert(e);}"}, {"try}catch(e){alert(e);}|X"}},
        {"one line replaces the typed word", {"tr|"}, 2, {"try{"}, {"try{|"}},
        {"an empty template moves the cursor to the line's end", {"ab|c", "d"}, 0, {}, {"abc|", "d"}},
        {"a word longer than the text before the cursor removes only that text",
         {"a|bc"}, 3, {"X"}, {"X|bc"}},
        {"a template of empty lines", {"|"}, 0, {"", ""}, {"", "", "|"}},
    };
    for (const InsertCase &c : cases) {
        SCOPED_TRACE(c.name);
        testing::CursorText text = testing::parseCursorText(c.before);
        testing::apply(text, TemplateInsertion(text.lines, text.line, text.column, c.WordLength, c.templateLines));
        EXPECT_EQ(testing::markCursor(text), c.after);
    }
}

} // namespace
} // namespace quill
