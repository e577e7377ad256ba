#include "editor/keycommands.h"

#include "base/onelinetext.h"
#include "base/wholecharacters.h"
#include "editor/choicecommands.h"
#include "editor/codebuffer.h"
#include "editor/keyboardlayer.h"
#include "editor/undostep.h"
#include "editor/windowstate.h"

namespace quill {

template <void (ChoiceCommands::*row)()>
void KeyCommands::choiceRow()
{
    if (choices_)
        (choices_->*row)();
}

namespace {

struct KeyCommand {
    const char *caption;
    void (KeyCommands::*run)();
};

// Tested in this order; the first exact match runs.
constexpr KeyCommand CommandTable[] = {
    {"^^", &KeyCommands::cursorUp},
    {"->", &KeyCommands::cursorRight},
    {"vv", &KeyCommands::cursorDown},
    {"<-", &KeyCommands::cursorLeft},
    {"Hm", &KeyCommands::home},
    {"En", &KeyCommands::end},
    {"Ky", &KeyCommands::choiceRow<&ChoiceCommands::Ky>},
    {"Tm", &KeyCommands::choiceRow<&ChoiceCommands::Tm>},
    {"Sp", &KeyCommands::choiceRow<&ChoiceCommands::Sp>},
    {"Au", &KeyCommands::choiceRow<&ChoiceCommands::Au>},
    {"Jp", &KeyCommands::choiceRow<&ChoiceCommands::Jp>},
    {"Rt", &KeyCommands::enter},
    {"Bs", &KeyCommands::backspace},
    {"Dl", &KeyCommands::deleteCharacter},
    {"Lc", &KeyCommands::copyLineAbove},
    {"Ly", &KeyCommands::copyLineXToY},
    {"Lz", &KeyCommands::copyLineXToYAndZ},
    {"Ld", &KeyCommands::deleteLine},
    {"Sh", &KeyCommands::shift},
    {"Sl", &KeyCommands::choiceRow<&ChoiceCommands::Sl>},
    {"Cp", &KeyCommands::choiceRow<&ChoiceCommands::Cp>},
    {"Ps", &KeyCommands::choiceRow<&ChoiceCommands::Ps>},
    {"Ct", &KeyCommands::choiceRow<&ChoiceCommands::Ct>},
    {"Fi", &KeyCommands::choiceRow<&ChoiceCommands::Fi>},
    {"Fn", &KeyCommands::choiceRow<&ChoiceCommands::Fn>},
    {"Rp", &KeyCommands::choiceRow<&ChoiceCommands::Rp>},
    {"Rn", &KeyCommands::choiceRow<&ChoiceCommands::Rn>},
    {"Wn", &KeyCommands::toggleWindow},
};

const KeyCommand *findCommand(const QString &caption)
{
    for (const KeyCommand &command : CommandTable)
        if (caption == QLatin1String(command.caption))
            return &command;
    return nullptr;
}

// Text that may stand in a line: no line break and no half of a pair.
bool typeable(const QString &text)
{
    return !holdsLineBreak(text) && !holdsLoneSurrogate(text);
}

int leadingSpaces(const QString &line)
{
    int count = 0;
    while (count < line.size() && line.at(count) == u' ')
        ++count;
    return count;
}

QString withXReplaced(QString line, QChar by)
{
    return line.replace(u'x', by);
}

} // namespace

KeyCommands::KeyCommands(CodeBuffer &buffer, KeyboardLayer &keyboard, WindowState &window)
    : buffer_(buffer), keyboard_(keyboard), window_(window)
{
}

QStringList KeyCommands::commandCaptions()
{
    QStringList captions;
    for (const KeyCommand &command : CommandTable)
        captions.append(QLatin1String(command.caption));
    return captions;
}

void KeyCommands::RunKeyCommand(const QString &caption)
{
    buffer_.setCodeModified(true);
    const KeyCommand *command = findCommand(caption);
    const bool typing = !command && !caption.isEmpty();
    const UndoStep step(buffer_, typing ? CodeBuffer::StepKind::Typing : CodeBuffer::StepKind::Command);
    if (choices_)
        choices_->commandStarts();
    if (command)
        (this->*(command->run))();
    else if (typing)
        type(caption);
    // A paste that found no text on the clipboard leaves even the view alone.
    if (!choices_ || !choices_->leavesViewAlone())
        buffer_.ScrollToCursor();
}

// ---- cursor -------------------------------------------------------------------

void KeyCommands::cursorUp()
{
    if (buffer_.cursorLine() > 0)
        buffer_.setCursor(buffer_.cursorLine() - 1, buffer_.cursorColumn());
}

void KeyCommands::cursorDown()
{
    if (buffer_.cursorLine() < buffer_.lineCount() - 1)
        buffer_.setCursor(buffer_.cursorLine() + 1, buffer_.cursorColumn());
}

void KeyCommands::cursorRight()
{
    const int line = buffer_.cursorLine();
    const int column = buffer_.cursorColumn();
    const QString &text = buffer_.line(line);
    if (column < text.size())
        buffer_.setCursor(line, column + unitsAt(text, column));
    else if (line < buffer_.lineCount() - 1)
        buffer_.setCursor(line + 1, 0);
}

void KeyCommands::cursorLeft()
{
    const int line = buffer_.cursorLine();
    const int column = buffer_.cursorColumn();
    if (column > 0)
        buffer_.setCursor(line, column - unitsBefore(buffer_.line(line), column));
    else if (line != 0)
        buffer_.setCursor(line - 1, int(buffer_.line(line - 1).size()));
}

void KeyCommands::home()
{
    const int line = keyboard_.shiftState() ? 0 : buffer_.cursorLine();
    buffer_.setCursor(line, 0);
    buffer_.setScroll(buffer_.topLine(), 0);
}

void KeyCommands::end()
{
    if (keyboard_.shiftState())
        buffer_.setCursor(buffer_.lineCount() - 1, 0);
    else
        buffer_.setCursor(buffer_.cursorLine(), int(buffer_.line(buffer_.cursorLine()).size()));
}

// ---- typing and joins ------------------------------------------------------

void KeyCommands::type(const QString &caption)
{
    const QString text = caption == QLatin1String("&&") ? QStringLiteral("&") : caption;
    if (!typeable(text))
        return;
    buffer_.insertText(buffer_.cursorLine(), buffer_.cursorColumn(), text);
    buffer_.setCursor(buffer_.cursorLine(), buffer_.cursorColumn() + int(text.size()));
}

void KeyCommands::enter()
{
    const int line = buffer_.cursorLine();
    const int column = buffer_.cursorColumn();
    const QString text = buffer_.line(line);
    const int indentation = leadingSpaces(text);
    if (column < text.size()) {
        // The line keeps its text from the cursor on, without the blanks
        // that led it, behind the indentation; the head goes above it.
        int tailStart = column;
        while (tailStart < text.size() && text.at(tailStart).unicode() <= 32)
            ++tailStart;
        buffer_.removeText(line, 0, tailStart);
        buffer_.insertText(line, 0, text.left(indentation));
        buffer_.insertLine(line, text.left(column));
    } else {
        buffer_.insertLine(line + 1, text.left(indentation));
    }
    buffer_.setCursor(line + 1, indentation);
}

void KeyCommands::backspace()
{
    const int line = buffer_.cursorLine();
    const int column = buffer_.cursorColumn();
    const QString &text = buffer_.line(line);
    if (column >= 1) {
        const int width = unitsBefore(text, column);
        buffer_.removeText(line, column - width, width);
        buffer_.setCursor(line, column - width);
    } else if (line == 0) {
        // At the very start of the text Backspace deletes forwards.
        if (!text.isEmpty())
            buffer_.removeText(line, 0, unitsAt(text, 0));
    } else {
        const int joint = int(buffer_.line(line - 1).size());
        const QString moved = text;
        buffer_.insertText(line - 1, joint, moved);
        buffer_.removeLine(line);
        buffer_.setCursor(line - 1, joint);
    }
}

void KeyCommands::deleteCharacter()
{
    const int line = buffer_.cursorLine();
    const int column = buffer_.cursorColumn();
    const QString &text = buffer_.line(line);
    if (column == text.size()) {
        if (line < buffer_.lineCount() - 1) {
            const QString next = buffer_.line(line + 1);
            buffer_.insertText(line, column, next);
            buffer_.removeLine(line + 1);
        }
    } else {
        buffer_.removeText(line, column, unitsAt(text, column));
    }
}

// ---- whole lines ------------------------------------------------------------------

void KeyCommands::copyLineAbove()
{
    const int line = buffer_.cursorLine();
    buffer_.insertLine(line, buffer_.line(line));
    buffer_.setCursor(line + 1, buffer_.cursorColumn());
}

void KeyCommands::copyLineXToY()
{
    const int line = buffer_.cursorLine();
    buffer_.insertLine(line + 1, withXReplaced(buffer_.line(line), u'y'));
    buffer_.setCursor(line + 1, buffer_.cursorColumn());
}

void KeyCommands::copyLineXToYAndZ()
{
    const int line = buffer_.cursorLine();
    const QString text = buffer_.line(line);
    buffer_.insertLine(line + 1, withXReplaced(text, u'y'));
    buffer_.insertLine(line + 2, withXReplaced(text, u'z'));
    buffer_.setCursor(line + 2, buffer_.cursorColumn());
}

void KeyCommands::deleteLine()
{
    const int line = buffer_.cursorLine();
    if (buffer_.lineCount() < 2) {
        buffer_.removeText(0, 0, int(buffer_.line(0).size()));
        buffer_.setCursor(0, 0);
        return;
    }
    buffer_.removeLine(line);
    // setCursor keeps the cursor inside the text when the last line went.
    buffer_.setCursor(line, 0);
}

// ---- keyboard and window ------------------------------------------------------------

void KeyCommands::shift()
{
    keyboard_.setShiftState(!keyboard_.shiftState());
}

void KeyCommands::toggleWindow()
{
    window_.setWindowMode(window_.windowMode() == WindowState::Mode::Normal
                              ? WindowState::Mode::Maximized
                              : WindowState::Mode::Normal);
}


} // namespace quill
