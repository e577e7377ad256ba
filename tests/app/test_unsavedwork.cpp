// The unsaved code and sprite in the recovery journal: what is journaled
// when, what comes back at the next start, and a journal that cannot be
// written or read.
#include "app/unsavedwork.h"

#include "base/messagesink.h"
#include "base/recoveryjournal.h"
#include "base/textfile.h"
#include "editor/codebuffer.h"
#include "editor/codefiles.h"
#include "sprite/spritedocument.h"

#include "tests/support/eventwait.h"
#include "tests/support/fulldisk.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace quill {
namespace {

class Recorder : public MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

class UnsavedWorkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "unsaved work test";
        static char *argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        codeDir = root.path() + "/prgfiles/";
        spriteDir = root.path() + "/sprfiles/";
        journal = root.path() + "/state/journal/";
        QDir().mkpath(codeDir);
        QDir().mkpath(spriteDir);
    }
    void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QStringList journaledSlots() const
    {
        QStringList found;
        for (const RecoveryJournal::Found &entry : RecoveryJournal(journal).read().entries)
            found << entry.slot;
        return found;
    }

    QTemporaryDir root;
    QString codeDir;
    QString spriteDir;
    QString journal;
    Recorder recorder;
};

// One session's work, then the next session's start.
TEST_F(UnsavedWorkTest, WorkThatDiffersFromItsFileComesBackUnsaved)
{
    writeFile(codeDir + "game", "function init(){}\r\n");
    struct Case {
        const char *name;
        QString fileName;      // the code's name in the first session
        QStringList typed;     // the text it is left with
        QString message;       // at the next start; empty for none
    };
    const std::vector<Case> cases = {
        {"a named program changed", "game", {"function init(){ x }"},
         "Recovered unsaved changes: game."},
        {"a named program typed back as the file holds it", "game", {"function init(){}"}, ""},
        {"a program whose file is gone", "lost", {"var a;"}, "Recovered unsaved changes: lost."},
        {"an unnamed program", "", {"var b;"}, "Recovered unsaved changes: an unnamed program."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(journal).removeRecursively();
        {
            CodeBuffer code;
            SpriteDocument sprite(16);
            UnsavedWork work(journal, recorder);
            code.replaceDocument(QStringList{"placeholder"}, {c.fileName, c.fileName, TextEncoding::Utf16LE});
            code.replaceDocument(c.typed, {c.fileName, c.fileName, TextEncoding::Utf16LE});
            code.setCodeModified(true);
            work.checkpoint(code, sprite);
            work.flush();
        }
        CodeBuffer code;
        SpriteDocument sprite(16);
        UnsavedWork work(journal, recorder);
        const std::optional<QString> message = work.recover(code, sprite, codeDir, spriteDir);
        EXPECT_EQ(message.value_or(QString()), c.message);
        if (c.message.isEmpty()) {
            EXPECT_EQ(code.lines(), CodeBuffer::newProgramLines());
            continue;
        }
        EXPECT_EQ(code.lines(), c.typed);
        EXPECT_EQ(code.identity(), (FileIdentity{c.fileName, c.fileName, TextEncoding::Utf16LE}));
        EXPECT_TRUE(code.codeModified());
    }
    EXPECT_TRUE(recorder.messages.isEmpty()) << recorder.messages.join('|').toStdString();
}

// The journal follows the models by their signals alone: a change of the
// code or of the sprite is journaled a delay later without anyone asking; a
// move of the cursor changes nothing worth journaling.
TEST_F(UnsavedWorkTest, ItFollowsTheChangesTheModelsAnnounce)
{
    CodeBuffer code;
    SpriteDocument sprite(8);
    UnsavedWork work(journal, recorder);
    constexpr int Delay = 50;
    work.follow(code, sprite, Delay);
    const auto settled = [&] {
        testsupport::waitFor([] { return false; }, 4 * Delay);
        work.flush();
        return journaledSlots();
    };

    code.setCodeModified(true);
    code.setCursor(3, 0);
    EXPECT_EQ(settled(), QStringList()) << "a cursor move alone";

    code.insertText(0, 0, "x");
    EXPECT_EQ(settled(), QStringList({"code"}));

    sprite.setPixel(1, 1, 5);
    EXPECT_EQ(settled(), QStringList({"code", "sprite"}));
    EXPECT_TRUE(recorder.messages.isEmpty()) << recorder.messages.join('|').toStdString();
}

TEST_F(UnsavedWorkTest, AnUnsavedSpriteComesBackAtItsSize)
{
    {
        CodeBuffer code;
        SpriteDocument sprite(8);
        sprite.setName("hero");
        sprite.addCel();
        sprite.setPixel(7, 7, 5);
        UnsavedWork work(journal, recorder);
        work.checkpoint(code, sprite);
        work.flush();
        EXPECT_EQ(journaledSlots(), QStringList({"sprite"})) << "the unchanged code is not journaled";
    }
    CodeBuffer code;
    SpriteDocument sprite(16);
    UnsavedWork work(journal, recorder);
    EXPECT_EQ(work.recover(code, sprite, codeDir, spriteDir), "Recovered unsaved changes: sprite hero.");
    EXPECT_EQ(sprite.spriteSize(), 8);
    EXPECT_EQ(sprite.celLabel(), "2/2");
    EXPECT_EQ(sprite.pixel(7, 7), 5);
    EXPECT_EQ(sprite.name(), "hero");
    EXPECT_TRUE(sprite.unsaved());
}

// New leaves only a new program: the unsaved work before it stays in the
// journal (New can be undone, and a kill now loses nothing). Save removes it.
TEST_F(UnsavedWorkTest, ANewProgramLeavesTheEntryAndSaveRemovesIt)
{
    CodeBuffer code;
    SpriteDocument sprite(16);
    CodeFiles files(codeDir);
    UnsavedWork work(journal, recorder);
    code.replaceDocument(QStringList{"var mine;"}, {"mine", "", TextEncoding::Local8Bit});
    code.setCodeModified(true);
    work.checkpoint(code, sprite);
    work.flush();
    code.replaceDocument(CodeBuffer::newProgramLines(), {});
    work.checkpoint(code, sprite);
    work.flush();
    ASSERT_EQ(RecoveryJournal(journal).read().entries.size(), 1u);
    EXPECT_EQ(RecoveryJournal(journal).read().entries[0].entry["text"], "var mine;\r\n");

    code.undo();
    ASSERT_TRUE(files.save("mine", code, recorder));
    work.codeSaved(code);
    work.flush();
    EXPECT_TRUE(journaledSlots().isEmpty());
    work.checkpoint(code, sprite);  // nothing unsaved
    work.flush();
    EXPECT_TRUE(journaledSlots().isEmpty());
}

TEST_F(UnsavedWorkTest, AJournalThatCannotBeReadIsSetAsideAndTheRestComesBack)
{
    RecoveryJournal(journal).write("sprite", {{"name", "x"}});  // no drawing: nothing to recover
    writeFile(journal + "code.journal", "QUILLIDE JOURNAL 1\ncut short");
    CodeBuffer code;
    SpriteDocument sprite(16);
    UnsavedWork work(journal, recorder);
    const std::optional<QString> message = work.recover(code, sprite, codeDir, spriteDir);
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->startsWith("A recovery file could not be read and was set aside as " + journal
                                    + "code.journal.unreadable-"))
        << message->toStdString();
    EXPECT_TRUE(message->endsWith("."));
    EXPECT_EQ(code.lines(), CodeBuffer::newProgramLines());
    EXPECT_TRUE(sprite.pristine());
}

// A full disk never stops editing: one message, then silence while it stays
// full, and after a write that works again the next failure is told again.
TEST_F(UnsavedWorkTest, AJournalThatCannotBeWrittenIsToldOnce)
{
    QDir().mkpath(journal);
    CodeBuffer code;
    SpriteDocument sprite(16);
    UnsavedWork work(journal, recorder);
    code.setCodeModified(true);
    {
        testsupport::FullDisk disk(journal);
        ASSERT_TRUE(disk.mounted()) << disk.error();
        ASSERT_TRUE(disk.fill());
        for (int i = 0; i < 3; ++i) {
            code.insertText(0, 0, QString(4096, u'x'));
            work.checkpoint(code, sprite);
            work.flush();
            QCoreApplication::processEvents();
        }
        ASSERT_EQ(recorder.messages.size(), 1) << recorder.messages.join('|').toStdString();
        EXPECT_TRUE(recorder.messages[0].startsWith("Unsaved changes cannot be kept for recovery: "));
        EXPECT_TRUE(recorder.messages[0].contains("No space left on device"));
        EXPECT_TRUE(recorder.messages[0].endsWith("."));
    }
    code.insertText(0, 0, "y");
    work.checkpoint(code, sprite);
    work.flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.messages.size(), 1);
    EXPECT_EQ(journaledSlots(), QStringList({"code"}));
}

} // namespace
} // namespace quill
