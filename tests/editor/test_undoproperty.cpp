// Random command sequences keep the buffer's promises, and undoing all of
// them gives back the text unit for unit.
#include "editor/choicecommands.h"
#include "editor/codebuffer.h"
#include "editor/editorchoices.h"
#include "editor/keycommands.h"

#include "editortext.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <random>

namespace quill {
namespace {

using testing::FakeKeyboard;
using testing::FakeWindow;

const QString Pair = QString::fromUtf8("\xF0\x9F\x98\x80");

// The pick list and the clipboard: offers are remembered, so that a round
// can choose from them as a user would.
class FakeChoices : public EditorChoices {
public:
    void offerChoices(PickMode mode, const QStringList &items) override
    {
        offeredMode = mode;
        offered = items;
    }
    QString clipboardText() const override { return clipboard; }
    void setClipboardText(const QString &text) override { clipboard = text; }
    QStringList keywords() const override { return {"abs(", "alert(", "var ", "while("}; }
    int spriteSize() const override { return 16; }
    PickMode offeredMode = PickMode::Keywords;
    QStringList offered;
    QString clipboard;
};

void expectInvariants(const CodeBuffer &buffer, const QString &context, bool cursorInView = true)
{
    ASSERT_GE(buffer.lineCount(), 1) << context.toStdString();
    ASSERT_GE(buffer.cursorLine(), 0) << context.toStdString();
    ASSERT_LT(buffer.cursorLine(), buffer.lineCount()) << context.toStdString();
    const QString &line = buffer.line(buffer.cursorLine());
    ASSERT_GE(buffer.cursorColumn(), 0) << context.toStdString();
    ASSERT_LE(buffer.cursorColumn(), line.size()) << context.toStdString();
    ASSERT_GE(buffer.topLine(), 0) << context.toStdString();
    ASSERT_GE(buffer.leftColumn(), 0) << context.toStdString();
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
    // The cursor is in the view after every command, but a Ps that found no
    // text, which leaves even the view alone.
    if (!cursorInView)
        return;
    ASSERT_GE(buffer.cursorLine(), buffer.topLine()) << context.toStdString();
    ASSERT_LT(buffer.cursorLine(), buffer.topLine() + buffer.visibleLines()) << context.toStdString();
    ASSERT_GE(buffer.cursorColumn(), buffer.leftColumn()) << context.toStdString();
    ASSERT_LT(buffer.cursorColumn(), buffer.leftColumn() + buffer.visibleColumns()) << context.toStdString();
}

TEST(UndoProperty, RandomCommandSequences)
{
    const QStringList pool = KeyCommands::commandCaptions()
        + QStringList{"", "a", "x", " ", "&&", "{", Pair, QString(QChar(0xE9)), "Rt", "Bs", "Dl", "Ld", "Ly"};
    // One template of two lines; no images or sounds to choose.
    QTemporaryDir sources;
    ASSERT_TRUE(sources.isValid());
    QDir(sources.path()).mkpath("templates");
    QDir(sources.path()).mkpath("empty");
    QFile templateFile(sources.path() + "/templates/loop");
    ASSERT_TRUE(templateFile.open(QIODevice::WriteOnly));
    templateFile.write("for(i=0;i<9;i++){\r\n" + Pair.toUtf8() + "}\r\n");
    templateFile.close();
    const QString empty = sources.path() + "/empty/";
    std::mt19937 random(20261210);
    for (int round = 0; round < 300; ++round) {
        CodeBuffer buffer;
        FakeKeyboard keyboard;
        FakeWindow window;
        FakeChoices choices;
        KeyCommands commands(buffer, keyboard, window);
        ChoiceCommands choiceCommands(buffer, keyboard, choices);
        commands.setChoiceCommands(&choiceCommands);
        choiceCommands.setSources({sources.path() + "/templates/", empty, empty});
        // Now and then the clipboard holds what another program put there.
        if (round % 5 == 1)
            choices.clipboard = "p" + Pair + "\r\nq";
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
            // An offered list is sometimes answered, as the pick list does.
            if (!choices.offered.isEmpty() && random() % 2 == 0) {
                const int index = int(random() % choices.offered.size());
                history.append("choose " + choices.offered[index]);
                choiceCommands.choose(choices.offeredMode, index, choices.offered[index]);
                choices.offered.clear();
            }
            // A tap now and then, which must never split a character.
            if (random() % 7 == 0) {
                buffer.setCursor(int(random() % buffer.lineCount()), int(random() % 8));
                buffer.ScrollToCursor();
            }
            expectInvariants(buffer, history.join(u','), !choiceCommands.leavesViewAlone());
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
