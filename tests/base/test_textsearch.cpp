#include "base/textsearch.h"

#include <gtest/gtest.h>

#include <random>

using namespace quill;

namespace {

struct FindCase {
    const char *name;
    QString text;
    QString needle;
    qsizetype from;
    qsizetype found;
};

TEST(TextSearch, FindsWhereIndexOfFinds)
{
    const QString longText = QString(100, u'a') + "function init()" + QString(30, u'b');
    const std::vector<FindCase> cases = {
        {"at the start", "sprite(1,'cat',2);", "sprite(", 0, 0},
        {"at the very end", "x = sprite(", "sprite(", 0, 4},
        {"absent", "var x = 1;", "sprite(", 0, -1},
        {"needle longer than the text", "spr", "sprite(", 0, -1},
        {"one character", "a,b", ",", 0, 1},
        {"two characters", "a=>b", "=>", 0, 1},
        {"overlapping candidates", "aaaab", "aab", 0, 2},
        {"first and last fit, middle differs", "s....(sprite(", "sprite(", 0, 6},
        {"from skips an earlier match", "ab ab", "ab", 1, 3},
        {"from at the end", "ab", "b", 2, -1},
        {"from beyond the end", "ab", "b", 3, -1},
        {"empty needle", "ab", "", 1, 1},
        {"past eight places", longText, "function init()", 0, 100},
        {"beyond ASCII", QStringLiteral("caf\u00e9 \u732b\u732b x"), QStringLiteral("\u732b x"), 0, 6},
        {"case counts", "Sprite(", "sprite(", 0, -1},
    };
    for (const FindCase &c : cases) {
        EXPECT_EQ(findText(c.text, c.needle, c.from), c.found) << c.name;
        if (c.from <= c.text.size())
            EXPECT_EQ(findText(c.text, c.needle, c.from), QStringView(c.text).indexOf(c.needle, c.from)) << c.name;
    }
}

// Texts of few letters make many near matches; every start and every length
// around the eight places of one step are met.
TEST(TextSearch, AgreesWithIndexOfOnRandomTexts)
{
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        QString text(qsizetype(random() % 40), Qt::Uninitialized);
        for (QChar &c : text)
            c = QChar(char16_t(u'a' + random() % 3));
        QString needle(qsizetype(1 + random() % 6), Qt::Uninitialized);
        for (QChar &c : needle)
            c = QChar(char16_t(u'a' + random() % 3));
        const qsizetype from = qsizetype(random() % (text.size() + 1));
        ASSERT_EQ(findText(text, needle, from), QStringView(text).indexOf(needle, from))
            << qPrintable(text) << " " << qPrintable(needle) << " " << from;
        QString replaced = text;
        QString expected = text;
        expected.replace(needle, QStringLiteral("<x>"));
        replaceText(replaced, needle, u"<x>");
        ASSERT_EQ(replaced, expected) << qPrintable(text) << " " << qPrintable(needle);
    }
}

TEST(TextSearch, ReplacesEveryOccurrenceAndCopiesNothingWithout)
{
    QString text = QStringLiteral("bgbegin();x();bgbegin();");
    EXPECT_EQ(replaceText(text, u"bgbegin()", u"oGra.image("), 2);
    EXPECT_EQ(text, QStringLiteral("oGra.image(;x();oGra.image(;"));

    const QString untouched = QStringLiteral("nothing to replace");
    QString copy = untouched;
    EXPECT_EQ(replaceText(copy, u"##addon##", u"<script>"), 0);
    EXPECT_EQ(copy.constData(), untouched.constData()) << "still shared";
}

} // namespace
