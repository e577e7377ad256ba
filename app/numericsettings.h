#pragma once

namespace quill {

class MessageSink;
class SettingsStore;

// A "width", "keyheight", "command" or "sprite" value that is not a whole
// number within its range (base/settingstable.h) is reported once as
// "Invalid setting <key>." and replaced in the store by the value an
// installation gives it, so that the program always starts (outside its
// range the layout breaks: a key height of millions makes every pass take
// seconds). A missing "sprite" means 16 and is not reported.
void repairNumericSettings(SettingsStore &settings, int keyPanelWidth, MessageSink &messages);

} // namespace quill
