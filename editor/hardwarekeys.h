#pragma once

#include <QString>
#include <Qt>
#include <optional>
#include <map>
#include <set>

namespace quill {

// The caption a key press gives (Qt key code, the text it produces, the
// modifiers held), or nothing when the press is ignored: the editing keys
// give their command whatever modifiers are held; other keys type the
// character they produce, unless Ctrl is held, Shift is held and they produce
// nothing, or the character is a control character (Tab, Escape ...).
std::optional<QString> keyDownCaption(int key, const QString &text, Qt::KeyboardModifiers modifiers);

// What a Ctrl shortcut runs.
struct Shortcut {
    enum class Kind { Command, Undo, Redo };
    Kind kind = Kind::Command;
    QString caption; // for Kind::Command
    friend bool operator==(const Shortcut &, const Shortcut &) = default;
};

// Ctrl shortcuts run once per physical press, on the release of their
// letter, when that letter was pressed while Ctrl was held, whichever of the
// two keys is let go first. A letter pressed without Ctrl never runs one.
// The automatic repeats of a held key neither run nor end the combination,
// also where the platform does not mark them: a press of a letter that is
// still down is a repeat, and so is a press at the very instant (timestamp)
// of the same letter's release, which is how X11 sends a repeat whose next
// press came too late for Qt to look at.
//
//   CtrlShortcuts shortcuts;
//   shortcuts.keyPressed(Qt::Key_C, Qt::ControlModifier, false, 100);
//   shortcuts.keyReleased(Qt::Key_C, false, 180);   // Shortcut{Command, "Cp"}
class CtrlShortcuts {
public:
    // timestamp: the event's time in milliseconds, 0 when unknown.
    void keyPressed(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat = false,
                    unsigned long timestamp = 0);
    std::optional<Shortcut> keyReleased(int key, bool autoRepeat, unsigned long timestamp = 0);
    // Forgets pressed combinations (the window lost the keyboard).
    void reset()
    {
        armed_.clear();
        down_.clear();
        released_.clear();
    }

private:
    // The letters pressed with Ctrl, with the shortcut of their last press.
    std::map<int, Shortcut> armed_;
    // The keys down now, and when each key was last released.
    std::set<int> down_;
    std::map<int, unsigned long> released_;
};

} // namespace quill
