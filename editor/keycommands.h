#pragma once

#include <QString>
#include <QStringList>

namespace quill {

class ChoiceCommands;
class CodeBuffer;
class KeyboardLayer;
class WindowState;

// Where every key edits the code (undo and redo enter through CodeBuffer, a
// pick list choice through ChoiceCommands::choose). A caption is a command name
// ("Rt", "Dl", "Sh" ...) or a character to type; the on-screen keys pass the
// caption they show, the hardware keyboard one made from the key event. Each
// call sets CodeModified, runs the first row of the command table whose
// caption matches exactly (typing when none does and the caption is not
// empty), and ends with ScrollToCursor; the caller repaints. Each call that
// changes the text is one undo step; typed characters run together.
//
//   KeyCommands commands(buffer, keyboard, window);
//   commands.RunKeyCommand(QStringLiteral("a"));
//   commands.RunKeyCommand(QStringLiteral("Rt"));
class KeyCommands {
public:
    KeyCommands(CodeBuffer &buffer, KeyboardLayer &keyboard, WindowState &window);

    void RunKeyCommand(const QString &caption);

    // The captions of the command table in the order they are tested.
    static QStringList commandCaptions();

    // Command rows (public so the table can name them).
    void cursorUp();
    void cursorRight();
    void cursorDown();
    void cursorLeft();
    void home();
    void end();
    void enter();
    void backspace();
    void deleteCharacter();
    void copyLineAbove();
    void copyLineXToY();
    void copyLineXToYAndZ();
    void deleteLine();
    void shift();
    void toggleWindow();
    // The rows of the pick list, selection, clipboard, find and replace
    // commands run in ChoiceCommands; while none is attached they change
    // nothing and, above all, type nothing.
    void setChoiceCommands(ChoiceCommands *choices) { choices_ = choices; }
    template <void (ChoiceCommands::*row)()>
    void choiceRow();

private:
    void type(const QString &caption);

    CodeBuffer &buffer_;
    KeyboardLayer &keyboard_;
    WindowState &window_;
    ChoiceCommands *choices_ = nullptr;
};

} // namespace quill
