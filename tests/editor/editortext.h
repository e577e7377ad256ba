#pragma once

// Editor states written as text: lines joined by "\n", with "|" where the
// cursor stands ("ab|c\ndef" is the cursor on c of line 0).

#include "editor/codebuffer.h"
#include "editor/keyboardlayer.h"
#include "editor/windowstate.h"

#include <QString>
#include <QStringList>

#include <ostream>

namespace quill::testing {

inline void loadState(CodeBuffer &buffer, const QString &state)
{
    QStringList lines = state.split(u'\n');
    int cursorLine = 0;
    int cursorColumn = 0;
    for (int line = 0; line < lines.size(); ++line) {
        const qsizetype bar = lines[line].indexOf(u'|');
        if (bar >= 0) {
            cursorLine = line;
            cursorColumn = int(bar);
            lines[line].remove(bar, 1);
        }
    }
    buffer.loadLines(lines);
    buffer.setCursor(cursorLine, cursorColumn);
}

inline QString stateOf(const CodeBuffer &buffer)
{
    QStringList lines = buffer.lines();
    lines[buffer.cursorLine()].insert(buffer.cursorColumn(), u'|');
    return lines.join(u'\n');
}

// The lines exactly, for comparisons that must see every character.
inline QString textOf(const CodeBuffer &buffer)
{
    return buffer.lines().join(u'\n');
}

class FakeKeyboard : public KeyboardLayer {
public:
    bool shiftState() const override { return shifted; }
    void setShiftState(bool value) override
    {
        shifted = value;
        ++captionPasses;
    }
    bool shifted = false;
    int captionPasses = 0;
};

class FakeWindow : public WindowState {
public:
    Mode windowMode() const override { return mode; }
    void setWindowMode(Mode value) override { mode = value; }
    Mode mode = Mode::Normal;
};

} // namespace quill::testing

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE
