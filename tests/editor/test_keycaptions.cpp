#include "base/settingstable.h"
#include "base/settingsstore.h"
#include "editor/keycaptions.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

using Captions = std::array<QString, 80>;

Captions fromRows(const std::vector<QStringList> &rows)
{
    Captions captions;
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(rows[row].size(), 10) << "row " << row;
        for (int column = 0; column < 10; ++column)
            captions[row * 10 + column] = rows[row].value(column);
    }
    return captions;
}

void expectCaptions(const Captions &actual, const Captions &expected)
{
    for (int i = 0; i < 80; ++i) {
        EXPECT_EQ(actual[i], expected[i]) << "row " << i / 10 + 1 << ", column " << i % 10 + 1;
    }
}

class DefaultKeyboard : public ::testing::Test {
protected:
    void SetUp() override { applyDefaultSettings(settings, QString(), 384); }
    SettingsStore settings;
};

TEST_F(DefaultKeyboard, FirstLayer)
{
    const Captions expected = fromRows({
        {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"},
        {"!", "\"", "#", "$", "%", "&&", "'", "(", ")", "Bs"},
        {"@", "{", "}", "_", ";", ":", "+", "-", "*", "="},
        {",", ".", "/", "\\", "<", ">", "?", "[", "]", "|"},
        {"q", "w", "e", "r", "t", "y", "u", "i", "o", "p"},
        {"a", "s", "d", "f", "g", "h", "j", "k", "l", "Rt"},
        {"z", "x", "c", "v", "b", "n", "m", "Dl", "^^", ""},
        {"Sh", "Hm", "En", "Tm", " ", "", "Ky", "<-", "vv", "->"},
    });
    KeyCaptions captions(settings);
    expectCaptions(captions.captionKeys(1, false), expected);
}

TEST_F(DefaultKeyboard, SecondLayer)
{
    const Captions expected = fromRows({
        {"Sl", "Cp", "Ps", "Ct", "", "Ld", "Lc", "Ly", "Lz", "Jp"},
        {"Fn", "Fi", "Rp", "Rn", "", "Sp", "Au", "", "", "Bs"},
        {"", "", "", "", "", "", "", "", "", "Wn"},
        {"^", "~", "`", "", "", "", "", "", "", ""},
        {"Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P"},
        {"A", "S", "D", "F", "G", "H", "J", "K", "L", "Rt"},
        {"Z", "X", "C", "V", "B", "N", "M", "Dl", "^^", ""},
        {"Sh", "Hm", "En", "Tm", " ", "", "Ky", "<-", "vv", "->"},
    });
    KeyCaptions captions(settings);
    expectCaptions(captions.captionKeys(2, true), expected);
}

TEST_F(DefaultKeyboard, FirstLayerWhileShiftedShowsCodesAndUpperCase)
{
    KeyCaptions captions(settings);
    const Captions shifted = captions.captionKeys(1, true);
    EXPECT_EQ(shifted[0], "1");
    EXPECT_EQ(shifted[15], "&&");
    EXPECT_EQ(shifted[40], "Q");
    EXPECT_EQ(shifted[50], "A");
    EXPECT_EQ(shifted[59], "Rt");
    EXPECT_EQ(shifted[70], "Sh");
}

TEST_F(DefaultKeyboard, EveryPassStartsTheCycleAfresh)
{
    KeyCaptions captions(settings);
    captions.setCaptionCycle(3);
    const Captions first = captions.captionKeys(2, true);
    const Captions second = captions.captionKeys(2, true);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first[0], "Sl");
}

struct RowCase {
    const char *name;
    QStringList layouts;  // BtnKey21, BtnKey22, ...; a null entry leaves the key out
    bool shifted;
    QStringList captions;  // of the first rows, in row-major order
    int cycleAfter;
};

TEST(KeyCaption, LayoutLetters)
{
    const std::vector<RowCase> cases = {
        {"five characters leave the rest blank", {"12345"}, false,
         {"1", "2", "3", "4", "5", "", "", "", "", ""}, 0},
        {"missing setting gives a blank row", {QString()}, false,
         {"", "", "", "", "", "", "", "", "", ""}, 0},
        {"five A letters", {"AAAAA"}, false, {"Sl", "Cp", "Ps", "Ct", "Sl", "", "", "", "", ""}, 1},
        {"V after three A letters", {"AAAV"}, false, {"Sl", "Cp", "Ps", "Rn", "", "", "", "", "", ""}, 0},
        {"W after one A letter", {"AW"}, false, {"Sl", "Fi", "", "", "", "", "", "", "", ""}, 0},
        {"W toggles", {"WWW"}, false, {"Fn", "Fi", "Fn", "", "", "", "", "", "", ""}, 1},
        {"F shares the cycle with A", {"AFAF"}, false, {"Sl", "Lc", "Ps", "Lz", "", "", "", "", "", ""}, 0},
        {"the cycle runs on into the next row", {"FFF", "FF"}, false,
         {"Ld", "Lc", "Ly", "", "", "", "", "", "", "", "Lz", "Ld", "", "", "", "", "", "", "", ""}, 1},
        {"lower-case l is a character, L moves left", {"lL"}, false,
         {"l", "<-", "", "", "", "", "", "", "", ""}, 0},
        {"shifted letters are upper case, digits stay", {"q1"}, true,
         {"Q", "1", "", "", "", "", "", "", "", ""}, 0},
        {"code letters win over the case rule", {"Ss"}, true, {"Sh", "S", "", "", "", "", "", "", "", ""}, 0},
        {"ampersand doubles on both layers", {"&a&"}, true, {"&&", "A", "&&", "", "", "", "", "", "", ""}, 0},
        {"upper case that is no code shows itself", {"BCJPZ"}, false,
         {"B", "C", "J", "P", "Z", "", "", "", "", ""}, 0},
        {"space key", {"a b"}, true, {"A", " ", "B", "", "", "", "", "", "", ""}, 0},
        {"letters beyond ASCII, one character each", {"éßω"}, true, {"É", "ß", "Ω", "", "", "", "", "", "", ""}, 0},
        {"letters beyond ASCII unshifted", {"éßω"}, false, {"é", "ß", "ω", "", "", "", "", "", "", ""}, 0},
        {"a character of two units gives two blank keys", {QString::fromUtf8("a" "\xF0\x9F\x98\x80" "b")}, false,
         {"a", "", "", "b", "", "", "", "", "", ""}, 0},
        {"eleventh character is ignored", {"0123456789X"}, false,
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, 0},
    };
    for (const RowCase &c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore settings;
        for (qsizetype row = 0; row < c.layouts.size(); ++row)
            settings.setValue(QStringLiteral("BtnKey2%1").arg(row + 1), c.layouts[row]);
        KeyCaptions captions(settings);
        const Captions all = captions.captionKeys(2, c.shifted);
        for (qsizetype i = 0; i < c.captions.size(); ++i)
            EXPECT_EQ(all[i], c.captions[i]) << "key " << i;
        // Only these rows have letters, so the cycle stands where they left it.
        EXPECT_EQ(captions.captionCycle(), c.cycleAfter);
    }
}

TEST(KeyCaption, EveryCodeLetter)
{
    struct Code {
        const char *letter;
        const char *caption;
    };
    const std::vector<Code> codes = {
        {"&", "&&"}, {"L", "<-"}, {"U", "^^"}, {"D", "vv"}, {"R", "->"}, {"H", "Hm"},
        {"E", "En"}, {"S", "Sh"}, {"K", "Ky"}, {"N", "Rt"}, {"X", "Bs"}, {"O", ""},
        {"T", "Dl"}, {"I", "Tm"}, {"A", "Sl"}, {"F", "Ld"}, {"Q", "Jp"}, {"V", "Rp"},
        {"W", "Fn"}, {"Y", "Sp"}, {"G", "Au"}, {"M", "Wn"},
    };
    for (const Code &code : codes) {
        SCOPED_TRACE(code.letter);
        for (const bool shifted : {false, true}) {
            SettingsStore settings;
            settings.setValue("BtnKey14", QStringLiteral("xxx") + QString::fromUtf8(code.letter));
            KeyCaptions captions(settings);
            EXPECT_EQ(captions.keyCaption(3, 3, 1, shifted), QString::fromUtf8(code.caption));
        }
    }
}

TEST(KeyCaption, CycleStepsFromWhereItStands)
{
    struct Case {
        const char *letter;
        int cycleBefore;
        const char *caption;
        int cycleAfter;
    };
    const std::vector<Case> cases = {
        {"A", 0, "Sl", 1}, {"A", 1, "Cp", 2}, {"A", 2, "Ps", 3}, {"A", 3, "Ct", 0},
        {"F", 0, "Ld", 1}, {"F", 1, "Lc", 2}, {"F", 2, "Ly", 3}, {"F", 3, "Lz", 0},
        {"V", 0, "Rp", 1}, {"V", 1, "Rn", 0}, {"V", 2, "Rn", 0}, {"V", 3, "Rn", 0},
        {"W", 0, "Fn", 1}, {"W", 1, "Fi", 0}, {"W", 3, "Fi", 0},
        {"a", 2, "a", 2},  {"Q", 3, "Jp", 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.letter) + " at " + std::to_string(c.cycleBefore));
        SettingsStore settings;
        settings.setValue("BtnKey11", c.letter);
        KeyCaptions captions(settings);
        captions.setCaptionCycle(c.cycleBefore);
        EXPECT_EQ(captions.keyCaption(0, 0, 1, false), c.caption);
        EXPECT_EQ(captions.captionCycle(), c.cycleAfter);
    }
}

TEST(KeyCaption, ReadsTheLayerAndRowOfItsKey)
{
    SettingsStore settings;
    settings.replaceEntries({"btnkey18=abcdefghij", "BtnKey28=ABCDEFGHIJ"});
    KeyCaptions captions(settings);
    EXPECT_EQ(captions.keyCaption(7, 9, 1, false), "j");
    EXPECT_EQ(captions.keyCaption(7, 1, 2, false), "B");
    EXPECT_EQ(captions.keyCaption(6, 0, 1, false), "");
    EXPECT_EQ(captions.keyCaption(7, 10, 1, false), "");
    EXPECT_EQ(captions.keyCaption(7, -1, 1, false), "");
}

TEST(DisplayedCaption, ShowsTheCaptionLiterallyOnAButton)
{
    struct Case {
        const char *caption;
        const char *text;
    };
    const std::vector<Case> cases = {
        {"&&", "&&"},  // the ampersand key shows one "&"
        {"a", "a"},
        {"Sh", "Sh"},
        {"", ""},
        {" ", " "},
        {"&", "&&"},
        {"a&b", "a&&b"},
        {"&&&", "&&&&&&"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(displayedCaption(c.caption), c.text);
    }
}

} // namespace
} // namespace quill
