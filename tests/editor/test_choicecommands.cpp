#include "base/quillerror.h"
#include "base/textfile.h"
#include "app/installer.h"
#include "editor/choicecommands.h"
#include "editor/codebuffer.h"
#include "editor/editorchoices.h"
#include "editor/keycommands.h"
#include "editortext.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

using testing::FakeKeyboard;
using testing::FakeWindow;
using testing::loadState;
using testing::stateOf;

// The pick list, the clipboard, the keywords and the sprite size as plain data.
class FakeChoices : public EditorChoices {
public:
    void offerChoices(PickMode mode, const QStringList &items) override
    {
        offeredMode = mode;
        offered = items;
        ++offers;
    }
    QString clipboardText() const override { return clipboard; }
    void setClipboardText(const QString &text) override { clipboard = text; }
    QStringList keywords() const override { return keywordList; }
    int spriteSize() const override { return size; }

    QStringList keywordList;
    int size = 16;
    PickMode offeredMode = PickMode::None;
    QStringList offered;
    int offers = 0;
    QString clipboard;
};

// A workspace's template, image and audio folders with odd guests: a
// subfolder, a link, the font sheet and an image that does not decode.
class ChoiceFolders {
public:
    ChoiceFolders()
    {
        for (const char *folder : {"tempfiles", "img", "audio", "img/sub"})
            QDir(dir_.path()).mkpath(QString::fromLatin1(folder));
        writeTextFile(path("tempfiles/tm_out"), {"w=32;", "if(a){b();}"});
        writeTextFile(path("tempfiles/try_catch"), {"}catch(e){alert(e);}"});
        writeTextFile(path("tempfiles/empty"), {});
        QImage(68, 34, QImage::Format_ARGB32).save(path("img/cat.png"));
        QImage(37, 17, QImage::Format_ARGB32).save(path("img/odd.png"));
        QImage(72, 18, QImage::Format_ARGB32).save(path("img/eight.png"));
        QImage(10, 10, QImage::Format_ARGB32).save(path("img/fnt18.png"));
        writeBinaryFile(path("img/broken.png"), QByteArray::fromHex("89504e470d0a1a0a"));
        QFile::link(path("img/cat.png"), path("img/link.png"));
        writeBinaryFile(path("audio/catbgm.ogg"), "OggS");
    }

    ChoiceSources sources() const
    {
        return {path("tempfiles/"), path("img/"), path("audio/")};
    }

private:
    QString path(const QString &relative) const { return dir_.path() + "/" + relative; }
    QTemporaryDir dir_;
};

struct Case {
    const char *label;
    QString before;
    QStringList keys;  // captions; "choose:N" picks item N of the list offered last
    QString after;
    QString clipboard = QString();       // before the keys
    QString clipboardAfter = QString();  // "=" for unchanged
    QStringList offered = {};
    bool shiftedAfter = false;
};

class ChoiceRows : public ::testing::Test {
protected:
    void run(const std::vector<Case> &cases, int spriteSize = 16)
    {
        const QStringList keywords = defaultKeywords();
        for (const Case &c : cases) {
            SCOPED_TRACE(c.label);
            CodeBuffer buffer;
            FakeKeyboard keyboard;
            keyboard.shifted = true;
            FakeWindow window;
            FakeChoices choices;
            choices.clipboard = c.clipboard;
            choices.keywordList = keywords;
            choices.size = spriteSize;
            KeyCommands commands(buffer, keyboard, window);
            ChoiceCommands rows(buffer, keyboard, choices);
            rows.setSources(folders_.sources());
            commands.setChoiceCommands(&rows);
            loadState(buffer, c.before);
            for (const QString &key : c.keys) {
                if (key.startsWith("choose:")) {
                    const int index = key.mid(7).toInt();
                    ASSERT_LT(index, choices.offered.size());
                    rows.choose(choices.offeredMode, index, choices.offered[index]);
                } else {
                    commands.RunKeyCommand(key);
                }
            }
            EXPECT_EQ(stateOf(buffer), c.after);
            EXPECT_EQ(choices.clipboard, c.clipboardAfter == "=" ? c.clipboard : c.clipboardAfter);
            EXPECT_EQ(choices.offered, c.offered);
            EXPECT_EQ(keyboard.shifted, c.shiftedAfter);
            // Every change is undone step by step back to the text the case began with.
            while (buffer.undo()) {
            }
            CodeBuffer original;
            loadState(original, c.before);
            EXPECT_EQ(buffer.lines(), original.lines());
        }
    }

    ChoiceFolders folders_;
};

TEST_F(ChoiceRows, KeywordSuggestion)
{
    run({
        {"one keyword completes at once", "x = sq|", {"Ky"}, "x = sqr(|", "", "=", {}, true},
        {"several are offered; the choice completes the word", "sn|", {"Ky", "choose:2"}, "sndplay(|", "", "=",
         {"sndload(", "sndloop(", "sndplay(", "sndstatus(", "sndstop("}, true},
        {"no match does nothing", "zq|", {"Ky"}, "zq|", "", "=", {}, true},
        {"after a dot the word is empty", "Math.|", {"Ky"}, "Math.|", "", "=", {}, true},
        {"the program's own names follow the keywords", "var speed;\nsp|", {"Ky", "choose:2"},
         "var speed;\nspeed|", "", "=", {"sprintf(", "sprite(", "speed"}, true},
        {"one own name completes at once", "var quality;\nq=qu|", {"Ky"}, "var quality;\nq=quality|", "", "=", {},
         true},
    });
}

TEST_F(ChoiceRows, Templates)
{
    run({
        {"the word's templates; a many-line one follows the cursor line", "  tm_|", {"Tm", "choose:0"},
         "  \nw=32;\nif(a){b();}|", "", "=", {"tm_out"}, true},
        {"a word that matches nothing: all are listed and nothing is removed", "xyz|", {"Tm", "choose:1"},
         "xyz\nw=32;\nif(a){b();}|", "", "=", {"empty", "tm_out", "try_catch"}, true},
        {"a one-line template goes in at the cursor", "try{ |x", {"Tm", "choose:2"},
         "try{ }catch(e){alert(e);}|x", "", "=", {"empty", "tm_out", "try_catch"}, true},
        {"an empty template moves the cursor to the line's end", "ab|c", {"Tm", "choose:0"}, "abc|", "", "=",
         {"empty", "tm_out", "try_catch"}, true},
    });
}

TEST_F(ChoiceRows, SpritesSoundsAndJumps)
{
    const QStringList images = {"broken.png", "cat.png", "eight.png", "odd.png"};
    run({
        {"a sheet of 16-pixel sprites", "a|b", {"Sp", "choose:1"}, "ab\nsprite(|,\"cat\",2);", "", "=", images},
        {"an image of an odd size", "a|b", {"Sp", "choose:3"}, "ab\nsprite(|,\"odd\",1,37,17,0);", "", "=", images},
        {"a sound", "|", {"Au", "choose:0"}, "\nsndload(|,\"catbgm\");", "", "=", {"catbgm.ogg"}},
        {"a jump to a function", CodeBuffer::newProgramLines().join('\n').prepend('|'), {"Jp", "choose:1"},
         CodeBuffer::newProgramLines().join('\n').replace("function move", "|function move"), "", "=",
         {"init", "move", "update", "mousedown", "mouseup"}},
        {"a jump after the text shrank stays inside it", "function a(){\nfunction b(){\n|x", {"Jp", "Ld", "Ld", "choose:1"},
         "|function a(){", "", "=", {"a", "b"}},
        {"no functions: nothing is offered", "var a;|", {"Jp"}, "var a;|", "", "=", {}, true},
    });
    run({{"a sheet of the current sprite size", "|", {"Sp", "choose:2"}, "\nsprite(|,\"eight\",4,16,16,1);", "", "=",
          images}},
        8);
}

TEST_F(ChoiceRows, SelectionAndClipboard)
{
    run({
        {"copy within a line", "ab|cdef", {"Sl", "->", "->", "Cp"}, "abcd|ef", "", "cde\r\n"},
        {"cut within a line", "a|bcdef", {"Sl", "->", "->", "Ct"}, "a|ef", "", "bcd\r\n"},
        {"cut across lines joins what is left", "x\nab|cd\nefg\nhij", {"Sl", "vv", "vv", "<-", "<-", "Ct"},
         "x\nab|ij", "", "cd\r\nefg\r\nh\r\n"},
        {"copy with the cursor before the anchor, then paste: nothing", "abc|", {"Sl", "<-", "Cp", "Ps"}, "ab|c",
         "old", ""},
        {"paste one line at the cursor", "a|b", {"Ps"}, "axy|b", "xy", "=", {}, true},
        {"paste lines with LF after the cursor line", "a|b\nz", {"Ps"}, "ab\nl1\nl2|\nz", "l1\nl2\n", "=", {},
         true},
        {"paste lines with CR", "|", {"Ps"}, "\np\nq|", "p\rq", "=", {}, true},
        {"paste a copy back into a line", "ab|cdef", {"Sl", "->", "Cp", "Ps"}, "abccd|def", "", "cd\r\n"},
        {"paste with no text on the clipboard", "a|b", {"Ps"}, "a|b", "", "=", {}, true},
        {"Sl twice ends the selection", "ab|c", {"Sl", "->", "Sl"}, "abc|", "", "="},
    });
}

TEST_F(ChoiceRows, FindAndReplace)
{
    run({
        {"find below", "foo {bar}|\nnothing\na bar b bar", {"Fi"}, "foo \nnothing\na |bar b bar", "", "=", {}, true},
        {"find next skips the rest of the line", "{x}|\nab x x\nx", {"Fi", "Fn"}, "\nab x x\n|x", "", "=", {}, true},
        {"no later match: no wrap", "bar\nfoo {bar}|", {"Fi", "Fn"}, "bar\nfoo |", "", "=", {}, true},
        {"replace line by line", "{ab}X|\nab-ab\nab", {"Rp", "Rn", "Rn"}, "\nX-X\n|X", "", "=", {}, true},
        {"a request without a brace changes nothing", "abc|\nabc", {"Fi", "Rn"}, "abc|\nabc", "", "=", {}, true},
    });
}

TEST(ChoiceCommandsAlone, UndoTakesBackACutOrAPasteOfManyLinesInOneStep)
{
    CodeBuffer buffer;
    FakeKeyboard keyboard;
    FakeWindow window;
    FakeChoices choices;
    KeyCommands commands(buffer, keyboard, window);
    ChoiceCommands rows(buffer, keyboard, choices);
    commands.setChoiceCommands(&rows);

    QString many;
    for (int i = 0; i < 20000; ++i)
        many += QStringLiteral("line %1\r\n").arg(i);
    choices.clipboard = many;
    loadState(buffer, "top|\nbottom");
    commands.RunKeyCommand("Ps");
    EXPECT_EQ(buffer.lineCount(), 20002);
    EXPECT_EQ(buffer.cursorLine(), 20000);
    ASSERT_TRUE(buffer.undo());
    EXPECT_EQ(stateOf(buffer), "top|\nbottom");

    loadState(buffer, "a|bc\nd\ne\nfg");
    for (const char *key : {"Sl", "vv", "vv", "vv", "Ct"})
        commands.RunKeyCommand(key);
    EXPECT_EQ(stateOf(buffer), "a|");
    ASSERT_TRUE(buffer.undo());
    EXPECT_EQ(stateOf(buffer), "abc\nd\ne\nf|g");
}

TEST(ChoiceCommandsAlone, AnImageThatDoesNotDecodeEndsTheChoiceAndChangesNothing)
{
    ChoiceFolders folders;
    CodeBuffer buffer;
    FakeKeyboard keyboard;
    FakeChoices choices;
    ChoiceCommands rows(buffer, keyboard, choices);
    rows.setSources(folders.sources());
    loadState(buffer, "a|b");
    EXPECT_THROW(rows.choose(PickMode::SpriteImages, 0, "broken.png"), QuillError);
    EXPECT_THROW(rows.choose(PickMode::Templates, 0, "missing"), QuillError);
    EXPECT_EQ(stateOf(buffer), "a|b");
    EXPECT_FALSE(buffer.canUndo());
}

TEST(ChoiceCommandsAlone, AChoiceMarksTheCodeModified)
{
    CodeBuffer buffer;
    FakeKeyboard keyboard;
    FakeChoices choices;
    ChoiceCommands rows(buffer, keyboard, choices);
    loadState(buffer, "|");
    rows.choose(PickMode::SoundFiles, 0, "beep.wav");
    EXPECT_TRUE(buffer.codeModified());
    EXPECT_EQ(stateOf(buffer), "\nsndload(|,\"beep\");");
}

} // namespace
} // namespace quill
