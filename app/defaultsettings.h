#pragma once

#include <QString>
#include <vector>

namespace quill {

class SettingsStore;

struct SettingDefault {
    QString key;
    QString value;
};

// The forty keys in their installation order. exportdir takes documentsDir
// (and is left out of the store when that is empty); keyheight is computed
// from the key panel width and command starts as "41": both are rescaled by
// rescaleInstalledHeights after the starter files are written.
std::vector<SettingDefault> defaultSettings(const QString &documentsDir, int keyPanelWidth);

// Sets every default in table order on the store (existing keys keep their place).
void applyDefaultSettings(SettingsStore &settings, const QString &documentsDir, int keyPanelWidth);

// The folder Export writes into: the "exportdir" setting, or the documents
// folder (its default) when the setting is empty or missing, never the root
// that an empty folder followed by "/" would name; without either, QuillError
// "No export folder.".
QString exportFolder(const SettingsStore &settings, const QString &documentsDir);

// keyheight and command become value div 3 x 2.
void rescaleInstalledHeights(SettingsStore &settings);

// Every key of the table that the store lacks gets the value an installation
// ends with (keyheight and command rescaled), appended in table order; keys
// the store holds keep their values. For a settings file that could only
// partly be read: the program runs on defaults for what it could not read.
void addMissingDefaults(SettingsStore &settings, const QString &documentsDir, int keyPanelWidth);

// The keyheight that an installation with this key panel width ends with:
// (width div 10 + 9) div 3 x 2.
int installedKeyHeight(int keyPanelWidth);

} // namespace quill
