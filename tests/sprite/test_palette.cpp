#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "base/settingstable.h"
#include "sprite/palette.h"
#include "sprite/spriteeditor.h"

#include <gtest/gtest.h>

namespace {

quill::SettingsStore defaults()
{
    quill::SettingsStore settings;
    quill::applyDefaultSettings(settings, "/home/u/Documents", 384);
    return settings;
}

TEST(HexToInt, ReadsDigitsOfEitherCase)
{
    struct Case {
        const char *text;
        std::uint32_t value;
    };
    for (const Case c : {Case{"", 0}, Case{"0", 0}, Case{"f", 15}, Case{"F", 15}, Case{"25da25", 0x25DA25},
                         Case{"25DA25", 0x25DA25}, Case{"ffffff", 0xFFFFFF}, Case{"10", 16}})
        EXPECT_EQ(quill::HexToInt(QString::fromLatin1(c.text)), c.value) << c.text;
    for (const char *bad : {"g", "12 4", "-1", "0x1", "ä"})
        EXPECT_THROW(quill::HexToInt(QString::fromUtf8(bad)), quill::QuillError) << bad;
}

TEST(Palette, DefaultMsxColours)
{
    quill::Palette palette{};
    quill::ApplyPalette(defaults(), palette);
    EXPECT_EQ(palette[0], 0xFF000000u);
    EXPECT_EQ(palette[1], 0xFF000000u);
    EXPECT_EQ(palette[2], 0xFF25DA25u);
    EXPECT_EQ(palette[15], 0xFFFFFFFFu);
}

struct DecodeCase {
    const char *name;
    QString value;
    std::vector<std::pair<int, QRgb>> colours;
};

TEST(Palette, DecodesShortAndMissingValuesAsOpaqueBlack)
{
    const std::vector<DecodeCase> cases = {
        {"empty", "", {{0, 0xFF000000u}, {15, 0xFF000000u}}},
        {"one colour", "ff0000", {{0, 0xFFFF0000u}, {1, 0xFF000000u}}},
        {"a cut group", "ff00001234", {{1, 0xFF001234u}, {2, 0xFF000000u}}},
        {"upper case", "ABCDEF", {{0, 0xFFABCDEFu}}},
    };
    for (const DecodeCase &c : cases)
        for (const auto &[index, colour] : c.colours)
            EXPECT_EQ(quill::decodePalette(c.value)[index], colour) << c.name << " [" << index << "]";
}

TEST(Palette, ADamagedValueKeepsTheCurrentColours)
{
    quill::SettingsStore settings = defaults();
    quill::SpriteEditor editor(16);
    editor.ApplyPalette(settings);
    const quill::Palette msx = editor.palette();
    settings.setValue("pltBAD", QString(90, u'0') + "00zz00");
    try {
        editor.choosePalette(settings, "BAD");
        ADD_FAILURE() << "a damaged palette was taken";
    } catch (const quill::QuillError &error) {
        EXPECT_EQ(error.message(), "Invalid palette.");
    }
    EXPECT_EQ(editor.palette(), msx);
    EXPECT_EQ(settings.value("palette"), "MSX");
}

TEST(Palette, ChoosingStoresTheNameAndUnknownNamesGiveBlack)
{
    quill::SettingsStore settings = defaults();
    quill::SpriteEditor editor(16);
    editor.choosePalette(settings, "DB16");
    EXPECT_EQ(settings.value("palette"), "DB16");
    EXPECT_EQ(editor.palette()[0], 0xFF000000u | quill::HexToInt(settings.value("pltDB16").left(6)));
    EXPECT_NE(editor.palette()[0], 0xFF000000u);
    editor.choosePalette(settings, "NOSUCH");
    for (const QRgb colour : editor.palette())
        EXPECT_EQ(colour, 0xFF000000u);
}

TEST(Palette, NamesInSettingsOrder)
{
    quill::SettingsStore settings = defaults();
    settings.setValue("pltMINE", "ffffff");
    settings.replaceEntries(QStringList(settings.entries()) << "pltnoequals" << "Xplt=1");
    const QStringList names = quill::paletteNames(settings);
    EXPECT_EQ(names, (QStringList{"MSX", "DB16", "PICO-8", "ARNE16", "EDG16", "A64", "C64", "VIC20", "CGA",
                                  "SLIFE", "JMP", "CGARNE", "PSYG", "EROGE", "EISLAND", "BARNES", "VV16",
                                  "MINE"}));
}

TEST(ColourBar, SwatchUnderATap)
{
    struct Case {
        double x;
        int swatch;
    };
    // SwatchSize 24, and a page 390 wide leaves 6 pixels right of swatch 15.
    for (const Case c : {Case{0, 0}, Case{23, 0}, Case{23.9, 0}, Case{24, 1}, Case{360, 15}, Case{383.5, 15},
                         Case{389, 15}, Case{-3, 0}})
        EXPECT_EQ(quill::swatchAt(c.x, 24), c.swatch) << c.x;
}

} // namespace
