#pragma once

#include "base/constants.h"

#include <QString>
#include <optional>
#include <vector>

namespace quill {

class SettingsStore;

// What kind of value a setting holds.
enum class SettingKind {
    Text,         // stored as written (the export folder)
    WholeNumber,  // a whole number within the setting's range
    KeyLayout,    // "BtnKey" + layer + row: one layout letter per key
    Palette,      // "plt" + name: sixteen colours, two hex digits each for red, green and blue
    PaletteName,  // the name of the palette in use, of the "plt" family
    Flag,         // exactly "1" switches it on
};

// Where the value an installation gives a setting comes from.
enum class SettingSource {
    Fixed,            // the text in the table
    DocumentsFolder,  // the user's documents folder (left out when unknown)
    KeyPanel,         // the key panel's width in pixels div 10, plus 9
};

// One setting of quillide.ini: its key, its kind, the value an installation
// sets first and, for a whole number, the range the program holds it to. An
// installation writes the starter files after the settings and then rescales
// the settings marked so to value div 3 x 2; the value a setting has once
// installed (defaultValue) is what a damaged setting is repaired to.
struct Setting {
    const char *key;
    SettingKind kind;
    SettingSource source = SettingSource::Fixed;
    const char *text = "";  // the installed value of a text (Fixed)
    int number = 0;         // the installed value of a whole number (Fixed)
    bool rescaled = false;
    int smallest = 0;
    int largest = 0;
    // A missing value means the default, and is never a fault.
    bool missingMeansDefault = false;

    QString name() const { return QString::fromLatin1(key); }
    constexpr bool contains(int value) const { return value >= smallest && value <= largest; }
};

constexpr int rescaledSetting(int value) { return value / 3 * 2; }

// The settings the program reads by name. The key layouts and the palettes
// are families of the table below.
namespace setting {
inline constexpr Setting ExportDir{.key = "exportdir", .kind = SettingKind::Text,
                                   .source = SettingSource::DocumentsFolder};
inline constexpr Setting Width{.key = "width", .kind = SettingKind::WholeNumber, .number = 32, .smallest = 1,
                               .largest = 1024};
inline constexpr Setting PaletteInUse{.key = "palette", .kind = SettingKind::PaletteName, .text = "MSX"};
inline constexpr Setting Command{.key = "command", .kind = SettingKind::WholeNumber, .number = 41,
                                 .rescaled = true, .smallest = 1, .largest = 200};
inline constexpr Setting Web{.key = "web", .kind = SettingKind::Flag, .text = "0"};
inline constexpr Setting KeyHeight{.key = "keyheight", .kind = SettingKind::WholeNumber,
                                   .source = SettingSource::KeyPanel, .rescaled = true, .smallest = 1,
                                   .largest = 200};
inline constexpr Setting Sprite{.key = "sprite", .kind = SettingKind::WholeNumber, .number = DefaultSpriteSize,
                                .smallest = SmallestSpriteSize, .largest = LargestSpriteSize,
                                .missingMeansDefault = true};
} // namespace setting

// The key height an installation ends with for a key panel this wide.
constexpr int installedKeyHeight(int keyPanelWidth)
{
    return rescaledSetting(keyPanelWidth / KeyColumns + 9);
}

// The whole numbers an installation ends with, where they need no context.
constexpr int installedNumber(const Setting &entry)
{
    return entry.rescaled ? rescaledSetting(entry.number) : entry.number;
}

// Every setting an installation writes, in its order: exportdir, width, the
// sixteen key layouts BtnKey11 to BtnKey28, the seventeen palettes, palette,
// command, web, keyheight, sprite.
const std::vector<Setting> &settingsTable();

struct SettingDefault {
    QString key;
    QString value;
};

// The values an installation sets first, in table order: exportdir is the
// documents folder (left out when that is empty), keyheight is computed from
// the key panel's width, command is "41"; both are rescaled later.
std::vector<SettingDefault> defaultSettings(const QString &documentsDir, int keyPanelWidth);

// The value a setting has once an installation is done (rescaled).
QString defaultValue(const Setting &entry, const QString &documentsDir, int keyPanelWidth);

// Sets every installed value in table order on the store (existing keys keep
// their place); an empty documents folder removes exportdir.
void applyDefaultSettings(SettingsStore &settings, const QString &documentsDir, int keyPanelWidth);

// The settings marked to be rescaled become value div 3 x 2; a text that is
// no whole number is left as it is rather than replaced by a guess.
void rescaleInstalledHeights(SettingsStore &settings);

// Every key of the table that the store lacks gets the value an installation
// ends with, appended in table order; keys the store holds keep their values.
// For a settings file that could only partly be read: the program runs on
// defaults for what it could not read.
void addMissingDefaults(SettingsStore &settings, const QString &documentsDir, int keyPanelWidth);

// The stored whole number of a setting that start-up has repaired: for a
// missing one that means its default, that default. A text that is no whole
// number throws QuillError "Invalid setting KEY.".
int storedNumber(const SettingsStore &settings, const Setting &entry);

// The text as the setting's whole number when it is one within the range.
std::optional<int> wholeNumberIn(const QString &text, const Setting &entry);
// The stored value as the setting's whole number when it is one within the range.
std::optional<int> settingNumber(const SettingsStore &settings, const Setting &entry);

// The folder Export writes into: the "exportdir" setting, or the documents
// folder (its default) when the setting is empty or missing, never the root
// that an empty folder followed by "/" would name; without either, QuillError
// "No export folder.".
QString exportFolder(const SettingsStore &settings, const QString &documentsDir);

} // namespace quill
