#include "editor/hardwarekeys.h"

namespace quill {

namespace {

struct KeyCaption {
    int key;
    const char *caption;
};

// The letters that give a command when released with Ctrl.
constexpr KeyCaption CtrlLetters[] = {
    {Qt::Key_T, "Tm"}, {Qt::Key_B, "Sl"}, {Qt::Key_S, "Sp"}, {Qt::Key_A, "Au"},
    {Qt::Key_J, "Jp"}, {Qt::Key_C, "Cp"}, {Qt::Key_V, "Ps"}, {Qt::Key_X, "Ct"},
    {Qt::Key_F, "Fi"}, {Qt::Key_L, "Fn"}, {Qt::Key_R, "Rp"},
};

// The keys whose caption is fixed whatever modifiers are held.

constexpr KeyCaption FixedKeys[] = {
    {Qt::Key_Backspace, "Bs"}, {Qt::Key_Return, "Rt"}, {Qt::Key_Enter, "Rt"},
    {Qt::Key_End, "En"},       {Qt::Key_Home, "Hm"},   {Qt::Key_Left, "<-"},
    {Qt::Key_Up, "^^"},        {Qt::Key_Right, "->"},  {Qt::Key_Down, "vv"},
    {Qt::Key_Insert, "Ky"},    {Qt::Key_Delete, "Dl"},
};

} // namespace

std::optional<QString> keyDownCaption(int key, const QString &text, Qt::KeyboardModifiers modifiers)
{
    for (const KeyCaption &fixed : FixedKeys)
        if (key == fixed.key)
            return QString::fromLatin1(fixed.caption);
    if (modifiers.testFlag(Qt::ControlModifier))
        return std::nullopt;
    if (text.isEmpty() || text.at(0).unicode() < 32)
        return std::nullopt;
    return text;
}

void CtrlShortcuts::keyPressed(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat,
                               unsigned long timestamp)
{
    const auto released = released_.find(key);
    const bool repeat = autoRepeat || down_.contains(key)
                        || (timestamp != 0 && released != released_.end() && released->second == timestamp);
    down_.insert(key);
    if (repeat || !modifiers.testFlag(Qt::ControlModifier))
        return;
    for (const KeyCaption &letter : CtrlLetters) {
        if (letter.key == key) {
            armed_[key] = Shortcut{Shortcut::Kind::Command, QString::fromLatin1(letter.caption)};
            return;
        }
    }
    if (key == Qt::Key_Z)
        armed_[key] = Shortcut{modifiers.testFlag(Qt::ShiftModifier) ? Shortcut::Kind::Redo
                                                                      : Shortcut::Kind::Undo,
                               QString()};
    else if (key == Qt::Key_Y)
        armed_[key] = Shortcut{Shortcut::Kind::Redo, QString()};
}

std::optional<Shortcut> CtrlShortcuts::keyReleased(int key, bool autoRepeat, unsigned long timestamp)
{
    if (autoRepeat)
        return std::nullopt;
    down_.erase(key);
    released_[key] = timestamp;
    const auto found = armed_.find(key);
    if (found == armed_.end())
        return std::nullopt;
    Shortcut shortcut = found->second;
    armed_.erase(found);
    return shortcut;
}

} // namespace quill
