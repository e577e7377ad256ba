#include "base/settingstable.h"
#include "base/quillerror.h"
#include "base/settingsstore.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace quill {
namespace {

// The forty keys in installation order, which is the line order of a fresh quillide.ini.
const QStringList KeyOrder = {
    "exportdir", "width",
    "BtnKey11", "BtnKey12", "BtnKey13", "BtnKey14", "BtnKey15", "BtnKey16", "BtnKey17", "BtnKey18",
    "BtnKey21", "BtnKey22", "BtnKey23", "BtnKey24", "BtnKey25", "BtnKey26", "BtnKey27", "BtnKey28",
    "pltMSX", "pltDB16", "pltPICO-8", "pltARNE16", "pltEDG16", "pltA64", "pltC64", "pltVIC20",
    "pltCGA", "pltSLIFE", "pltJMP", "pltCGARNE", "pltPSYG", "pltEROGE", "pltEISLAND", "pltBARNES",
    "pltVV16",
    "palette", "command", "web", "keyheight", "sprite",
};

QStringList keysOf(const std::vector<SettingDefault> &defaults)
{
    QStringList keys;
    for (const SettingDefault &setting : defaults)
        keys.append(setting.key);
    return keys;
}

QString valueOf(const std::vector<SettingDefault> &defaults, const QString &key)
{
    for (const SettingDefault &setting : defaults) {
        if (setting.key == key)
            return setting.value;
    }
    return QStringLiteral("<missing>");
}

TEST(DefaultSettings, FortyKeysInTableOrder)
{
    EXPECT_EQ(keysOf(defaultSettings("/home/anna/Documents", 384)), KeyOrder);
}

TEST(DefaultSettings, EmptyDocumentsFolderLeavesExportdirOut)
{
    EXPECT_EQ(keysOf(defaultSettings("", 384)), KeyOrder.mid(1));
}

struct ValueCase {
    const char *key;
    QString value;
};

TEST(DefaultSettings, FixedValues)
{
    const std::vector<ValueCase> cases = {
        {"exportdir", "/home/anna/Documents"},
        {"width", "32"},
        {"BtnKey11", "1234567890"},
        {"BtnKey12", "!\"#$%&'()X"},
        {"BtnKey13", "@{}_;:+-*="},
        {"BtnKey14", ",./\\<>?[]|"},
        {"BtnKey15", "qwertyuiop"},
        {"BtnKey16", "asdfghjklN"},
        {"BtnKey17", "zxcvbnmTUO"},
        {"BtnKey18", "SHEI OKLDR"},
        {"BtnKey21", "AAAAOFFFFQ"},
        {"BtnKey22", "WWVVOYGOOX"},
        {"BtnKey23", "OOOOOOOOOM"},
        {"BtnKey24", "^~`OOOOOOO"},
        {"BtnKey25", "qwertyuiop"},
        {"BtnKey26", "asdfghjklN"},
        {"BtnKey27", "zxcvbnmTUO"},
        {"BtnKey28", "SHEI OKLDR"},
        {"pltMSX", "00000000000025da256cff6c2125ff4770fcb723234dd8ffff2521ff6c6cdbda26ddd993269126d74bb6b6b6b6ffffff"},
        {"pltPICO-8", "0000007e25531d2b535f574fab5236008751ff004d83769cff77a8ffa300c2c3c700e756ffccaa29adfffff024fff1e8"},
        {"pltCGA", "000000aa00000000aa555555aa550000aa00ff5555aaaaaa5555ffaa00aa00aaaa55ff55ff55ff55ffffffff55ffffff"},
        {"pltEROGE", "0d080d2a23494f2b247d384032535f825b314180a0c16c5bc591547bb24e74adbbe89973bebbb2f0bd77fbdf9bfff9e4"},
        {"pltVV16", "111111554488556622999999884433cc77aacc9944ffccbb3333337766aa778844bbbbbbaa6655ee99cceebb66ffeedd"},
        {"palette", "MSX"},
        {"command", "41"},
        {"web", "0"},
        {"sprite", "16"},
    };
    const std::vector<SettingDefault> defaults = defaultSettings("/home/anna/Documents", 384);
    for (const ValueCase &c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(valueOf(defaults, c.key), c.value);
    }
}

TEST(DefaultSettings, LayoutsHaveTenLettersAndPalettesSixteenColours)
{
    const QRegularExpression paletteValue(QStringLiteral("^[0-9a-f]{96}$"));
    int palettes = 0;
    for (const SettingDefault &setting : defaultSettings("/docs", 384)) {
        SCOPED_TRACE(setting.key.toStdString());
        if (setting.key.startsWith(QLatin1String("BtnKey")))
            EXPECT_EQ(setting.value.size(), 10);
        if (setting.key.startsWith(QLatin1String("plt"))) {
            ++palettes;
            EXPECT_TRUE(paletteValue.match(setting.value).hasMatch()) << setting.value.toStdString();
        }
    }
    EXPECT_EQ(palettes, 17);
}

struct KeyHeightCase {
    int keyPanelWidth;
    QString storedBeforeRescale;
    int installed;
};

TEST(DefaultSettings, KeyHeightFollowsTheKeyPanelWidth)
{
    const std::vector<KeyHeightCase> cases = {
        {384, "47", 30},
        {1000, "109", 72},
        {390, "48", 32},
        {0, "9", 6},
    };
    for (const KeyHeightCase &c : cases) {
        SCOPED_TRACE(c.keyPanelWidth);
        EXPECT_EQ(valueOf(defaultSettings("", c.keyPanelWidth), "keyheight"), c.storedBeforeRescale);
        EXPECT_EQ(installedKeyHeight(c.keyPanelWidth), c.installed);

        SettingsStore settings;
        applyDefaultSettings(settings, "", c.keyPanelWidth);
        rescaleInstalledHeights(settings);
        EXPECT_EQ(settings.value("keyheight"), QString::number(c.installed));
        EXPECT_EQ(settings.value("command"), "26");
    }
}

TEST(DefaultSettings, RescaleIsDivThreeTimesTwo)
{
    SettingsStore settings;
    settings.replaceEntries({"keyheight=50", "command=4", "width=33"});
    rescaleInstalledHeights(settings);
    EXPECT_EQ(settings.entries(), QStringList({"keyheight=32", "command=2", "width=33"}));
}

TEST(DefaultSettings, RescaleLeavesTextThatIsNoNumberAlone)
{
    SettingsStore settings;
    settings.replaceEntries({"keyheight=tall", "sprite=16"});
    rescaleInstalledHeights(settings);
    EXPECT_EQ(settings.entries(), QStringList({"keyheight=tall", "sprite=16"}));
}

TEST(DefaultSettings, ApplyResetsKnownKeysInPlaceAndKeepsOthers)
{
    SettingsStore settings;
    settings.replaceEntries({"pltMINE=ffffff", "WIDTH=40", "sprite=32", "exportdir=/old"});
    applyDefaultSettings(settings, "/home/anna/Documents", 384);

    const QStringList entries = settings.entries();
    ASSERT_EQ(entries.size(), 41);
    EXPECT_EQ(entries[0], "pltMINE=ffffff");
    EXPECT_EQ(entries[1], "width=32");
    EXPECT_EQ(entries[2], "sprite=16");
    EXPECT_EQ(entries[3], "exportdir=/home/anna/Documents");
    // The keys that were missing follow in table order.
    EXPECT_EQ(entries[4], "BtnKey11=1234567890");
    EXPECT_EQ(entries[40], "keyheight=47");
}

TEST(DefaultSettings, ApplyWithoutDocumentsFolderRemovesExportdir)
{
    SettingsStore settings;
    settings.replaceEntries({"exportdir=/mnt/usb", "pltMINE=ffffff"});
    applyDefaultSettings(settings, "", 384);
    EXPECT_EQ(settings.value("exportdir"), "");
    EXPECT_EQ(settings.entries().size(), 40);
    EXPECT_EQ(settings.entries().first(), "pltMINE=ffffff");
}

// Export's folder: the setting, else the documents folder, never the root
// that an empty folder followed by "/" would name.
TEST(DefaultSettings, TheExportFolderFallsBackToTheDocumentsFolder)
{
    struct Case {
        const char *name;
        QString exportdir;  // empty: the key is missing
        QString documents;
        QString folder;
    };
    const std::vector<Case> cases = {
        {"the setting", "/home/anna/games", "/home/anna/Documents", "/home/anna/games"},
        {"no setting", "", "/home/anna/Documents", "/home/anna/Documents"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore settings;
        settings.setValue("exportdir", c.exportdir);
        EXPECT_EQ(exportFolder(settings, c.documents), c.folder);
    }
    try {
        exportFolder(SettingsStore(), QString());
        ADD_FAILURE() << "no folder at all";
    } catch (const QuillError &error) {
        EXPECT_EQ(error.message(), "No export folder.");
    }
}

// Each key once, each kind where it belongs, and every whole number an
// installation sets within the range the program holds it to.
TEST(SettingsTable, EveryKeyOnceOfItsKindWithItsValueInRange)
{
    std::map<SettingKind, int> kinds;
    QStringList keys;
    for (const Setting &entry : settingsTable()) {
        SCOPED_TRACE(entry.key);
        EXPECT_FALSE(keys.contains(entry.name(), Qt::CaseInsensitive));
        keys << entry.name();
        ++kinds[entry.kind];
        if (entry.kind == SettingKind::WholeNumber) {
            EXPECT_LT(entry.smallest, entry.largest);
            const QString installed = defaultValue(entry, QString(), 384);
            EXPECT_TRUE(wholeNumberIn(installed, entry).has_value()) << installed.toStdString();
        }
    }
    EXPECT_EQ(keys, KeyOrder);
    EXPECT_EQ(kinds, (std::map<SettingKind, int>{{SettingKind::Text, 1}, {SettingKind::WholeNumber, 4},
                                                  {SettingKind::KeyLayout, 16}, {SettingKind::Palette, 17},
                                                  {SettingKind::PaletteName, 1}, {SettingKind::Flag, 1}}));
    EXPECT_EQ(setting::Sprite.smallest, SmallestSpriteSize);
    EXPECT_EQ(setting::Sprite.largest, LargestSpriteSize);
}

} // namespace
} // namespace quill


namespace quill {
namespace {

// What a partly read settings file lacks comes from the defaults as an
// installation leaves them; what it holds stays.
TEST(DefaultSettings, MissingDefaultsFillOnlyTheGaps)
{
    SettingsStore settings;
    settings.replaceEntries({"width=40", "pltMINE=ffffff", "BtnKey11=abcdefghij"});
    addMissingDefaults(settings, "/home/anna/Documents", 384);

    EXPECT_EQ(settings.entries().size(), 41);
    EXPECT_EQ(settings.entries().mid(0, 3), QStringList({"width=40", "pltMINE=ffffff", "BtnKey11=abcdefghij"}));
    EXPECT_EQ(settings.entries()[3], "exportdir=/home/anna/Documents");
    EXPECT_EQ(settings.value("keyheight"), QString::number(installedKeyHeight(384)));
    EXPECT_EQ(settings.value("command"), "26");
    EXPECT_EQ(settings.value("BtnKey12"), "!\"#$%&'()X");
    EXPECT_EQ(settings.value("palette"), "MSX");
    EXPECT_EQ(settings.value("sprite"), "16");
}

} // namespace
} // namespace quill
