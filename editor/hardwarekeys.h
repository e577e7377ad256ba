#pragma once

#include <QString>
#include <Qt>
#include <optional>
#include <map>

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

// Ctrl shortcuts run once, on the release of their letter, when that letter
// was pressed while Ctrl was held, whichever of the two keys is let go first.
// A letter pressed without Ctrl never runs one, and the automatic repeats of
// a held key neither run nor end the combination.
//
//   CtrlShortcuts shortcuts;
//   shortcuts.keyPressed(Qt::Key_C, Qt::ControlModifier);
//   shortcuts.keyReleased(Qt::Key_C, false);   // Shortcut{Command, "Cp"}
class CtrlShortcuts {
public:
    void keyPressed(int key, Qt::KeyboardModifiers modifiers);
    std::optional<Shortcut> keyReleased(int key, bool autoRepeat);
    // Forgets pressed combinations (the window lost the keyboard).
    void reset() { armed_.clear(); }

private:
    // The letters pressed with Ctrl, with the shortcut of their last press.
    std::map<int, Shortcut> armed_;
};

} // namespace quill
