#include "editor/hardwarekeys.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

TEST(HardwareKeys, PressCaptions)
{
    struct Case {
        const char *label;
        int key;
        QString text;
        Qt::KeyboardModifiers modifiers;
        std::optional<QString> caption;
    };
    const auto none = Qt::NoModifier;
    const std::vector<Case> cases = {
        {"backspace", Qt::Key_Backspace, "\b", none, "Bs"},
        {"ctrl backspace", Qt::Key_Backspace, "", Qt::ControlModifier, "Bs"},
        {"enter", Qt::Key_Return, "\r", none, "Rt"},
        {"keypad enter", Qt::Key_Enter, "\r", Qt::KeypadModifier, "Rt"},
        {"end", Qt::Key_End, "", none, "En"},
        {"home with shift", Qt::Key_Home, "", Qt::ShiftModifier, "Hm"},
        {"left", Qt::Key_Left, "", none, "<-"},
        {"up", Qt::Key_Up, "", none, "^^"},
        {"right", Qt::Key_Right, "", none, "->"},
        {"down", Qt::Key_Down, "", none, "vv"},
        {"insert", Qt::Key_Insert, "", none, "Ky"},
        {"delete", Qt::Key_Delete, "\x7f", none, "Dl"},
        {"letter", Qt::Key_A, "a", none, "a"},
        {"shifted letter", Qt::Key_A, "A", Qt::ShiftModifier, "A"},
        {"ampersand types one", Qt::Key_Ampersand, "&", Qt::ShiftModifier, "&"},
        {"shift alone", Qt::Key_Shift, "", Qt::ShiftModifier, std::nullopt},
        {"ctrl alone", Qt::Key_Control, "", Qt::ControlModifier, std::nullopt},
        {"ctrl letter", Qt::Key_C, "\x03", Qt::ControlModifier, std::nullopt},
        {"tab", Qt::Key_Tab, "\t", none, std::nullopt},
        {"escape", Qt::Key_Escape, "\x1b", none, std::nullopt},
        {"function key", Qt::Key_F5, "", none, std::nullopt},
        {"beyond 127", Qt::Key_Eacute, QString(QChar(0xE9)), none, QString(QChar(0xE9))},
        {"pair", Qt::Key_unknown, QString::fromUtf8("\xF0\x9F\x98\x80"), none, QString::fromUtf8("\xF0\x9F\x98\x80")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(keyDownCaption(c.key, c.text, c.modifiers), c.caption);
    }
}

using Kind = Shortcut::Kind;

struct Event {
    bool press;
    int key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    bool autoRepeat = false;
    unsigned long time = 0;  // the platform's timestamp; 0 when it gives none
};

std::vector<Shortcut> play(const std::vector<Event> &events)
{
    CtrlShortcuts shortcuts;
    std::vector<Shortcut> ran;
    for (const Event &event : events) {
        if (event.press)
            shortcuts.keyPressed(event.key, event.modifiers, event.autoRepeat, event.time);
        else if (auto shortcut = shortcuts.keyReleased(event.key, event.autoRepeat, event.time))
            ran.push_back(*shortcut);
    }
    return ran;
}

TEST(HardwareKeys, CtrlShortcutsRunOnReleaseOfTheirLetter)
{
    const auto ctrl = Qt::ControlModifier;
    const auto ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const Shortcut copy{Kind::Command, "Cp"};
    struct Case {
        const char *label;
        std::vector<Event> events;
        std::vector<Shortcut> ran;
    };
    const std::vector<Case> cases = {
        {"letter let go first",
         {{true, Qt::Key_Control, ctrl}, {true, Qt::Key_C, ctrl}, {false, Qt::Key_C}, {false, Qt::Key_Control}},
         {copy}},
        {"ctrl let go first",
         {{true, Qt::Key_Control, ctrl}, {true, Qt::Key_C, ctrl}, {false, Qt::Key_Control}, {false, Qt::Key_C}},
         {copy}},
        {"letter without ctrl", {{true, Qt::Key_C}, {false, Qt::Key_C, ctrl}}, {}},
        {"ctrl pressed after the letter",
         {{true, Qt::Key_C}, {true, Qt::Key_Control, ctrl}, {false, Qt::Key_C, ctrl}},
         {}},
        {"held letter runs once",
         {{true, Qt::Key_C, ctrl}, {false, Qt::Key_C, ctrl, true}, {true, Qt::Key_C, ctrl, true},
          {false, Qt::Key_C, ctrl, true}, {true, Qt::Key_C, ctrl, true}, {false, Qt::Key_C, ctrl}},
         {copy}},
        {"twice", {{true, Qt::Key_C, ctrl}, {false, Qt::Key_C}, {true, Qt::Key_C, ctrl}, {false, Qt::Key_C}},
         {copy, copy}},
        {"twice, with timestamps", {{true, Qt::Key_C, ctrl, false, 100}, {false, Qt::Key_C, ctrl, false, 180},
                                    {true, Qt::Key_C, ctrl, false, 260}, {false, Qt::Key_C, ctrl, false, 330}},
         {copy, copy}},
        // Repeats the platform does not mark: only presses, the key never
        // released in between ...
        {"held letter, repeated presses unmarked",
         {{true, Qt::Key_V, ctrl, false, 100}, {true, Qt::Key_V, ctrl, false, 600},
          {true, Qt::Key_V, ctrl, false, 633}, {false, Qt::Key_V, ctrl, false, 650}},
         {{Kind::Command, "Ps"}}},
        // ... or a release and a press at the very same instant, as X11
        // sends them when the next press came too late to be looked at.
        {"held letter, repeated releases unmarked",
         {{true, Qt::Key_Z, ctrl, false, 100}, {false, Qt::Key_Z, ctrl, false, 600},
          {true, Qt::Key_Z, ctrl, false, 600}, {false, Qt::Key_Z, ctrl, false, 633},
          {true, Qt::Key_Z, ctrl, false, 633}, {false, Qt::Key_Z, ctrl, false, 700}},
         {{Kind::Undo, ""}}},
        {"held letter, marked and unmarked repeats mixed",
         {{true, Qt::Key_V, ctrl, false, 100}, {false, Qt::Key_V, ctrl, true, 600},
          {true, Qt::Key_V, ctrl, true, 600}, {false, Qt::Key_V, ctrl, false, 633},
          {true, Qt::Key_V, ctrl, false, 633}, {false, Qt::Key_V, ctrl, false, 700},
          {true, Qt::Key_V, ctrl, false, 900}, {false, Qt::Key_V, ctrl, false, 950}},
         {{Kind::Command, "Ps"}, {Kind::Command, "Ps"}}},
        {"other letter", {{true, Qt::Key_Q, ctrl}, {false, Qt::Key_Q, ctrl}}, {}},
        {"undo", {{true, Qt::Key_Z, ctrl}, {false, Qt::Key_Z, ctrl}}, {{Kind::Undo, ""}}},
        {"redo with Y", {{true, Qt::Key_Y, ctrl}, {false, Qt::Key_Y, ctrl}}, {{Kind::Redo, ""}}},
        {"redo with shift Z", {{true, Qt::Key_Z, ctrlShift}, {false, Qt::Key_Z, ctrlShift}}, {{Kind::Redo, ""}}},
        {"two letters", {{true, Qt::Key_B, ctrl}, {true, Qt::Key_V, ctrl}, {false, Qt::Key_V}, {false, Qt::Key_B}},
         {{Kind::Command, "Ps"}, {Kind::Command, "Sl"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(play(c.events), c.ran);
    }
}

TEST(HardwareKeys, EveryTableLetter)
{
    const std::vector<std::pair<int, QString>> letters = {
        {Qt::Key_T, "Tm"}, {Qt::Key_B, "Sl"}, {Qt::Key_S, "Sp"}, {Qt::Key_A, "Au"}, {Qt::Key_J, "Jp"}, {Qt::Key_C, "Cp"},
        {Qt::Key_V, "Ps"}, {Qt::Key_X, "Ct"}, {Qt::Key_F, "Fi"}, {Qt::Key_L, "Fn"}, {Qt::Key_R, "Rp"},
    };
    for (const auto &[key, caption] : letters) {
        const std::vector<Shortcut> expected = {Shortcut{Kind::Command, caption}};
        EXPECT_EQ(play({{true, key, Qt::ControlModifier}, {false, key, Qt::ControlModifier}}), expected)
            << caption.toStdString();
    }
}

} // namespace
} // namespace quill
