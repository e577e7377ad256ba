#pragma once

#include <QString>
#include <optional>

namespace quill {

class MessageSink;
class SettingsStore;

// A "width", "keyheight", "command" or "sprite" value that is not a whole
// number, is 0 or less, or (sprite) lies outside 1 to 127 is reported once as
// "Invalid setting <key>." and replaced in the store by the key's default,
// so that the program always starts. A missing "sprite" means 16 and is not
// reported.
void repairNumericSettings(SettingsStore &settings, int keyPanelWidth, MessageSink &messages);

// A whole number in decimal digits with an optional sign, or nothing.
std::optional<int> toWholeNumber(const QString &text);

} // namespace quill
