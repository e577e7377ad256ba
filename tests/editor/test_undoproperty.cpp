// Random command sequences keep the buffer's promises, and undoing all of
// them gives back the text unit for unit.
#include "editor/codebuffer.h"
#include "editor/keycommands.h"

#include "editortext.h"

#include <gtest/gtest.h>

#include <random>

namespace quill {
namespace {

using testing::FakeKeyboard;
using testing::FakeWindow;

const QString Pair = QString::fromUtf8("\xF0\x9F\x98\x80");

void expectInvariants(const CodeBuffer &buffer, const QString &context)
{
    ASSERT_GE(buffer.lineCount(), 1) << context.toStdString();
    ASSERT_GE(buffer.cursorLine(), 0) << context.toStdString();
    ASSERT_LT(buffer.cursorLine(), buffer.lineCount()) << context.toStdString();
    const QString &line = buffer.line(buffer.cursorLine());
    ASSERT_GE(buffer.cursorColumn(), 0) << context.toStdString();
    ASSERT_LE(buffer.cursorColumn(), line.size()) << context.toStdString();
    ASSERT_GE(buffer.topLine(), 0);
    ASSERT_GE(buffer.leftColumn(), 0);
    // The cursor is in the view after every command.
    ASSERT_GE(buffer.cursorLine(), buffer.topLine());
    ASSERT_LT(buffer.cursorLine(), buffer.topLine() + buffer.visibleLines());
    ASSERT_GE(buffer.cursorColumn(), buffer.leftColumn());
    ASSERT_LT(buffer.cursorColumn(), buffer.leftColumn() + buffer.visibleColumns());
    for (const QString &text : buffer.lines()) {
        // No line break and no half character anywhere.
        ASSERT_FALSE(text.contains(u'\n') || text.contains(u'\r')) << context.toStdString();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate()) {
                ASSERT_TRUE(i + 1 < text.size() && text[i + 1].isLowSurrogate()) << context.toStdString();
                ++i;
            } else {
                ASSERT_FALSE(text[i].isSurrogate()) << context.toStdString();
            }
        }
    }
}

TEST(UndoProperty, RandomCommandSequences)
{
    const QStringList pool = KeyCommands::commandCaptions()
        + QStringList{"", "a", "x", " ", "&&", "{", Pair, QString(QChar(0xE9)), "Rt", "Bs", "Dl", "Ld", "Ly"};
    std::mt19937 random(20261210);
    for (int round = 0; round < 300; ++round) {
        CodeBuffer buffer;
        FakeKeyboard keyboard;
        FakeWindow window;
        KeyCommands commands(buffer, keyboard, window);
        buffer.setViewSize(1 + int(random() % 8), 1 + int(random() % 5));
        QStringList start = {"  x" + Pair + "y", "", "ab  cd"};
        if (round % 3 == 0)
            start = {""};
        buffer.loadLines(start);
        buffer.setCursor(int(random() % 3), int(random() % 6));

        QStringList history;
        const int length = 1 + int(random() % 40);
        for (int i = 0; i < length; ++i) {
            const QString caption = pool[int(random() % pool.size())];
            history.append(caption);
            commands.RunKeyCommand(caption);
            // A tap now and then, which must never split a character.
            if (random() % 7 == 0) {
                buffer.setCursor(int(random() % buffer.lineCount()), int(random() % 8));
                buffer.ScrollToCursor();
            }
            expectInvariants(buffer, history.join(u','));
            if (::testing::Test::HasFatalFailure())
                return;
        }

        const QStringList finalLines = buffer.lines();
        while (buffer.undo())
            expectInvariants(buffer, history.join(u','));
        ASSERT_EQ(buffer.lines(), start) << history.join(u',').toStdString();
        while (buffer.redo())
            expectInvariants(buffer, history.join(u','));
        ASSERT_EQ(buffer.lines(), finalLines) << history.join(u',').toStdString();
    }
}

} // namespace
} // namespace quill
