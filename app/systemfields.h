#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace quill {

class MessageSink;
class SettingsStore;
struct WorkspacePaths;

// The System page's fields as texts, exactly as the user sees them.
struct SystemFields {
    QString width;          // edtWidth
    QString keyHeight;      // edtKeyHeight
    QString command;        // edtCommand
    QString spriteSize;     // edtSpriteSize
    QString exportDir;      // edtOpenmsxdir
    bool useWebBrowser = false;  // chkGfx9000 (never shown; carries "web")
    bool operator==(const SystemFields &) const = default;
};

// LoadSystemPage's copy: every field the stored text unchanged (a missing key
// gives an empty field); the box is checked exactly when "web" is "1".
SystemFields loadSystemFields(const SettingsStore &settings);

// What Apply and Default ask of the window, in the order they ask it.
struct SystemPageEffects {
    std::function<void(int size)> resizeSprite;  // sprite size := size, AllocateSpriteBuffers
    std::function<void()> unshift;               // ShiftState := off
    std::function<void()> loadSystemPage;        // the settings into the fields
    std::function<void()> layoutScreen;          // the layout pass
};

// Apply, in order: exportdir, width, keyheight, command, web, the sprite size,
// sprite; then the layout pass and "Done.". A width, key height or sprite
// size or command that is not a whole number within its bounds (an empty one
// included) stops Apply at that step with "Error.": the settings set before
// it keep their new values, and neither the sprite nor the layout is touched.
// An empty export folder removes its key (Export then uses the documents
// folder). The sprite is resized only when the new size differs from spriteSize.
void applySystemFields(const SystemFields &fields, SettingsStore &settings, int spriteSize,
                       const SystemPageEffects &effects, MessageSink &messages);

// Everything Default needs from the window besides its effects.
struct DefaultsTarget {
    const WorkspacePaths &paths;
    SettingsStore &settings;
    QStringList &keywords;
    int keyPanelWidth;     // the key height is recomputed for this width
    QString documentsDir;  // the default of "exportdir"
    QString keepDir = {};  // where the user's own versions of starter files go
};

// Default, in order: re-install the workspace (directories, every default
// setting, the starter files, keywords.ini), unshift the keyboard, the sprite
// back to 16 when it is not 16, LoadSystemPage, the layout pass, the message
// naming the user's own versions of starter files that were kept, "Done.".
// A failed installation throws QuillError before anything else is touched.
void restoreDefaults(const DefaultsTarget &target, int spriteSize,
                     const SystemPageEffects &effects, MessageSink &messages);

} // namespace quill
