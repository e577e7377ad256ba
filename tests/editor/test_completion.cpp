#include "app/installer.h"
#include "editor/completion.h"
#include "editor/declarednames.h"
#include "tests/editor/cursortext.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

struct KyCase {
    const char *name;
    QStringList before;      // "|" at the cursor
    bool completes;
    QString insertText;      // when it completes
    QStringList choices;     // when it offers a list
    int WordLength;
};

TEST(CompleteAtCursor, CompletesOneMatchAndOffersSeveral)
{
    const QStringList keywords = defaultKeywords();
    const std::vector<KyCase> cases = {
        {"one keyword completes at once", {"x = sq|"}, true, "r(", {}, 2},
        {"a keyword's trailing space is inserted too", {"va|"}, true, "r ", {}, 2},
        {"several keywords are offered in keyword-list order", {"sn|"}, false, "",
         {"sndload(", "sndloop(", "sndplay(", "sndstatus(", "sndstop("}, 2},
        {"no match does nothing", {"zq|"}, false, "", {}, 2},
        {"after a dot the word is empty", {"Math.|"}, false, "", {}, 0},
        {"after an upper-case letter the word is empty", {"X|"}, false, "", {}, 0},
        {"after a digit the word is empty", {"1|"}, false, "", {}, 0},
        {"own names follow the keywords", {"var speed;", "sp|"}, false, "",
         {"sprintf(", "sprite(", "speed"}, 2},
        {"one own name and no keyword completes at once", {"var quality = 1;", "q = qu|"}, true, "ality", {}, 2},
        {"a name equal to a keyword is listed once", {"var length;", "len|"}, false, "",
         {"len(", "length"}, 3},
        {"own functions and parameters", {"function elapse(pa1, pa2){}", "el|"}, false, "",
         {"else", "elapse"}, 2},
        {"several own names without a keyword", {"function f(qa1, qa2){", "  qa|"}, false, "",
         {"qa1", "qa2"}, 2},
        {"no own name matching: the keywords alone", {"var zebra;", "sq|"}, true, "r(", {}, 2},
        {"the name being typed is not its own match", {"var qual|"}, false, "", {}, 4},
        {"names in comments do not count", {"// var quiet;", "qu|"}, false, "", {}, 2},
    };
    for (const KyCase &c : cases) {
        SCOPED_TRACE(c.name);
        const testing::CursorText text = testing::parseCursorText(c.before);
        int wordLength = -1;
        DeclaredNameIndex index;
        const Completion completion =
            completeAtCursor(text.lines, text.line, text.column, keywords, index, wordLength);
        EXPECT_EQ(completion.completes, c.completes);
        EXPECT_EQ(completion.insertText, c.insertText);
        EXPECT_EQ(completion.choices, c.choices);
        EXPECT_EQ(completion.offers(), !c.choices.isEmpty());
        EXPECT_EQ(wordLength, c.WordLength);
    }
}

TEST(CompleteWord, KeywordsListedTwiceInTheFileStayAsTheyAre)
{
    const Completion completion = CompleteWord("ab", {"abs(", "abs("}, {"abs("});
    EXPECT_FALSE(completion.completes);
    EXPECT_EQ(completion.choices, (QStringList{"abs(", "abs("}));
}

} // namespace
} // namespace quill
