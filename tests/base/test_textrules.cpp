// The text rules every editor, field and file shares: whole characters and
// one-line text, on small texts at their edges.
#include "base/onelinetext.h"
#include "base/wholecharacters.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

const QChar High(0xD83D);
const QChar Low(0xDE00);

QString text(std::initializer_list<QChar> units)
{
    QString made;
    for (const QChar unit : units)
        made += unit;
    return made;
}

TEST(WholeCharacters, PairsStayWholeAndLoneHalvesAreNoCharacters)
{
    struct Case {
        const char *name;
        QString text;
        std::vector<bool> splits;   // splitsPair at 0 .. size
        std::vector<int> unitsAt;   // at 0 .. size - 1
        QString replaced;
    };
    const QChar R = QChar::ReplacementCharacter;
    const std::vector<Case> cases = {
        {"a pair", text({High, Low}), {false, true, false}, {2, 1}, text({High, Low})},
        {"a pair between letters", text({'a', High, Low, 'b'}), {false, false, true, false, false}, {1, 2, 1, 1},
         text({'a', High, Low, 'b'})},
        {"a high half at the end", text({'a', High}), {false, false, false}, {1, 1}, text({'a', R})},
        {"a low half at the start", text({Low, 'a'}), {false, false, false}, {1, 1}, text({R, 'a'})},
        {"halves the wrong way round", text({Low, High}), {false, false, false}, {1, 1}, text({R, R})},
        {"two high halves then a low", text({High, High, Low}), {false, false, true, false}, {1, 2, 1},
         text({R, High, Low})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (qsizetype position = 0; position <= c.text.size(); ++position)
            EXPECT_EQ(splitsPair(c.text, position), c.splits[std::size_t(position)]) << position;
        for (qsizetype position = 0; position < c.text.size(); ++position)
            EXPECT_EQ(unitsAt(c.text, position), c.unitsAt[std::size_t(position)]) << position;
        // Stepping back character by character from the end meets the same
        // characters as stepping forward.
        std::vector<qsizetype> forward, back;
        for (qsizetype position = 0; position < c.text.size(); position += unitsAt(c.text, position))
            forward.push_back(position);
        for (qsizetype position = c.text.size(); position > 0;) {
            position -= unitsBefore(c.text, position);
            back.insert(back.begin(), position);
        }
        EXPECT_EQ(back, forward);
        QString replaced = c.text;
        const bool anyReplaced = replaceLoneSurrogates(replaced);
        EXPECT_EQ(anyReplaced, c.replaced != c.text);
        EXPECT_EQ(replaced, c.replaced);
        EXPECT_EQ(holdsLoneSurrogate(c.text), c.replaced != c.text);
    }
}

TEST(OneLineText, EveryLineBreakAndNothingElse)
{
    for (const char16_t breaking : {u'\n', u'\r', u'\v', u'\f', char16_t(0x85), char16_t(0x2028), char16_t(0x2029)}) {
        SCOPED_TRACE(int(breaking));
        const QString withBreak = QStringLiteral("a") + QChar(breaking) + QStringLiteral("b");
        EXPECT_TRUE(holdsLineBreak(withBreak));
        EXPECT_EQ(withoutLineBreaks(withBreak), "ab");
    }
    const QString oneLine = QStringLiteral("a\tb ") + text({High, Low}) + QChar(0x7F) + QChar(0xA0);
    EXPECT_FALSE(holdsLineBreak(oneLine));
    EXPECT_EQ(withoutLineBreaks(oneLine), oneLine);
}

} // namespace
} // namespace quill
