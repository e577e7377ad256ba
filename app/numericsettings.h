#pragma once

#include <QString>
#include <optional>

namespace quill {

class MessageSink;
class SettingsStore;

// The range a numeric setting must lie in. Outside it the layout breaks
// (a key height of millions makes every pass take seconds), so start-up and
// the System page's Apply both hold values to it.
struct SettingBounds {
    int smallest;
    int largest;
    bool contains(int value) const { return value >= smallest && value <= largest; }
};
inline constexpr SettingBounds WidthBounds{1, 1024};       // "width"
inline constexpr SettingBounds KeyHeightBounds{1, 200};    // "keyheight"
inline constexpr SettingBounds CommandBounds{1, 200};      // "command"
inline constexpr SettingBounds SpriteSizeBounds{1, 127};   // "sprite"

// The value of a setting when it is a whole number within bounds, else nothing.
std::optional<int> boundedSetting(const SettingsStore &settings, const QString &key,
                                  SettingBounds bounds);

// A "width", "keyheight", "command" or "sprite" value that is not a whole
// number or lies outside its bounds is reported once as "Invalid setting
// <key>." and replaced in the store by the key's default, so that the
// program always starts. A missing "sprite" means 16 and is not reported.
void repairNumericSettings(SettingsStore &settings, int keyPanelWidth, MessageSink &messages);

} // namespace quill
