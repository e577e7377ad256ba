#include "editor/codefiles.h"

#include "base/messagesink.h"
#include "base/quillerror.h"
#include "editor/codebuffer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quill {
namespace {

// Records what it is told and asked, and answers every question alike.
class Recorder : public MessageSink {
public:
    void showMessage(const QString &text) override { log << text; }
    bool askQuestion(const QString &question) override
    {
        log << question;
        return answer;
    }
    QStringList log;
    bool answer = false;
};

class CodeFileFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir(root.path()).mkpath("prgfiles"));
        codeDir = root.path() + "/prgfiles/";
    }

    Recorder messages;

    void writeBytes(const QString &name, const QByteArray &bytes)
    {
        QFile file(codeDir + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray readBytes(const QString &name)
    {
        QFile file(codeDir + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir root;
    QString codeDir;
};

QByteArray bytes(const char *data, int size) { return QByteArray(data, size); }

// Opening a file and saving it under another name writes the same bytes (line
// ends come back as CR LF), whether Save comes right after Open or after
// every line was read.
TEST_F(CodeFileFixture, RoundTripsByteForByte)
{
    struct Case {
        const char *label;
        QByteArray file;
        QByteArray saved; // empty: the same as file
        QStringList lines;
        TextEncoding encoding;
    };
    const std::vector<Case> cases = {
        {"ascii CR LF", "ab\r\ncd\r\n", {}, {"ab", "cd"}, TextEncoding::Local8Bit},
        {"LF", "ab\ncd\n", "ab\r\ncd\r\n", {"ab", "cd"}, TextEncoding::Local8Bit},
        {"lone CR", "ab\rcd", "ab\r\ncd\r\n", {"ab", "cd"}, TextEncoding::Local8Bit},
        {"no final line end", "ab\r\ncd", "ab\r\ncd\r\n", {"ab", "cd"}, TextEncoding::Local8Bit},
        {"UTF-8 without mark", "pi \xCF\x80\r\n", {}, {QString::fromUtf8("pi \xCF\x80")}, TextEncoding::Local8Bit},
        {"UTF-8 mark", "\xEF\xBB\xBFx\r\n\r\n", {}, {"x", ""}, TextEncoding::Utf8Bom},
        {"UTF-16 LE", bytes("\xFF\xFEx\0\r\0\n\0\x80\x03\r\0\n\0", 14), {}, {"x", QString(QChar(0x380))},
         TextEncoding::Utf16LE},
        {"UTF-16 BE", bytes("\xFE\xFF\0x\0\r\0\n", 8), {}, {"x"}, TextEncoding::Utf16BE},
        {"Latin-1", "caf\xE9\r\n\x80\x9F\xFF\r\n", {}, {QString::fromLatin1("caf\xE9"), QString::fromLatin1("\x80\x9F\xFF")},
         TextEncoding::Latin1},
        {"empty file", "", {}, {""}, TextEncoding::Local8Bit},
        {"UTF-8 mark alone", "\xEF\xBB\xBF", {}, {""}, TextEncoding::Utf8Bom},
        {"UTF-16 LE mark alone", "\xFF\xFE", {}, {""}, TextEncoding::Utf16LE},
        {"UTF-16 BE mark alone", "\xFE\xFF", {}, {""}, TextEncoding::Utf16BE},
        {"one empty line", "\r\n", {}, {""}, TextEncoding::Local8Bit},
        {"one empty line after a mark", "\xEF\xBB\xBF\r\n", {}, {""}, TextEncoding::Utf8Bom},
        // U+FEFF after the mark is a character of the text, kept like any other.
        {"U+FEFF after the mark", "\xEF\xBB\xBF\xEF\xBB\xBFx\r\n", {}, {QString(QChar(0xFEFF)) + "x"},
         TextEncoding::Utf8Bom},
        {"U+FEFF after a UTF-16 mark", bytes("\xFF\xFE\xFF\xFEx\0\r\0\n\0", 10), {}, {QString(QChar(0xFEFF)) + "x"},
         TextEncoding::Utf16LE},
        {"mixed line ends, last line open", "a\nb\r\n\rc\r\rd", "a\r\nb\r\n\r\nc\r\n\r\nd\r\n",
         {"a", "b", "", "c", "", "d"}, TextEncoding::Local8Bit},
        {"UTF-8 mark, mixed line ends", "\xEF\xBB\xBF\xE2\x82\xAC\n\xC3\xA9\r\n", "\xEF\xBB\xBF\xE2\x82\xAC\r\n\xC3\xA9\r\n",
         {QString(QChar(0x20AC)), QString(QChar(0xE9))}, TextEncoding::Utf8Bom},
        {"Latin-1, LF", "caf\xE9\nx\n", "caf\xE9\r\nx\r\n", {QString::fromLatin1("caf\xE9"), "x"}, TextEncoding::Latin1},
    };
    for (const Case &c : cases) {
        for (const bool readFirst : {false, true}) {
            SCOPED_TRACE(std::string(c.label) + (readFirst ? ", every line read first" : ", saved right after Open"));
            writeBytes("in", c.file);
            QFile::remove(codeDir + "out");
            CodeBuffer buffer;
            CodeFiles files(codeDir);
            EXPECT_FALSE(files.open("in", buffer));
            if (readFirst)
                EXPECT_EQ(buffer.lines(), c.lines);
            EXPECT_EQ(files.save("out", buffer, messages), "Saved.");
            EXPECT_EQ(readBytes("out"), c.saved.isEmpty() ? c.file : c.saved);
            EXPECT_EQ(buffer.lines(), c.lines);
            EXPECT_EQ(buffer.identity().encoding, c.encoding);
            // Saving again changes nothing either.
            EXPECT_EQ(files.save("out", buffer, messages), "Saved.");
            EXPECT_EQ(readBytes("out"), c.saved.isEmpty() ? c.file : c.saved);
        }
    }
}

// The empty line of an empty file is a line of the text once anything is
// typed into it, even when the typing is taken back.
TEST_F(CodeFileFixture, AnEditedEmptyFileIsSavedWithItsLines)
{
    const QByteArray newProgram = CodeText(CodeBuffer::newProgramLines()).encoded(TextEncoding::Local8Bit);
    struct Case {
        const char *label;
        std::function<void(CodeBuffer &)> edit;
        QByteArray saved;
    };
    const std::vector<Case> cases = {
        {"typed", [](CodeBuffer &b) { b.insertText(0, 0, "x"); }, "x\r\n"},
        {"typed and undone", [](CodeBuffer &b) { b.insertText(0, 0, "x"); b.undo(); }, "\r\n"},
        {"a line added", [](CodeBuffer &b) { b.insertLine(1, ""); }, "\r\n\r\n"},
        {"New", [](CodeBuffer &b) { b.replaceDocument(CodeText(CodeBuffer::newProgramLines()), {}); }, newProgram},
        // Undoing a New brings back the empty file as it was read.
        {"New undone",
         [](CodeBuffer &b) {
             b.replaceDocument(CodeText(CodeBuffer::newProgramLines()), {});
             b.undo();
         },
         ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        writeBytes("in", "");
        QFile::remove(codeDir + "out");
        CodeBuffer buffer;
        CodeFiles files(codeDir);
        files.open("in", buffer);
        c.edit(buffer);
        files.save("out", buffer, messages);
        EXPECT_EQ(readBytes("out"), c.saved);
    }
}

// A FIFO or a link to a device in the code folder is refused at once.
TEST_F(CodeFileFixture, OnlyRegularFilesOpen)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(codeDir + "fifo").constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", codeDir + "zero"));
    for (const QString name : {"fifo", "zero"}) {
        SCOPED_TRACE(name.toStdString());
        CodeBuffer buffer;
        CodeFiles files(codeDir);
        auto outcome = std::async(std::launch::async, [&]() -> QString {
            try {
                files.open(name, buffer);
                return "opened";
            } catch (const QuillError &error) {
                return error.message();
            }
        });
        if (outcome.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
            const int writer = ::open(QFile::encodeName(codeDir + "fifo").constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
            outcome.wait();
            ADD_FAILURE() << "Open waited";
            continue;
        }
        EXPECT_EQ(outcome.get(), "Failed to open " + name + ".");
        EXPECT_EQ(buffer.lines(), CodeBuffer::newProgramLines());
    }
}

TEST_F(CodeFileFixture, OpenResetsCursorAndModifiedAsOneUndoStep)
{
    writeBytes("prog", "one\r\ntwo\r\n");
    writeBytes("wide", bytes("\xFF\xFEw\0\r\0\n\0", 8));
    CodeBuffer buffer;
    CodeFiles files(codeDir);
    files.open("wide", buffer);
    buffer.setCursor(0, 1);
    buffer.insertText(0, 0, "x");
    buffer.setCodeModified(true);
    buffer.setScroll(4, 2);
    files.open("prog", buffer);
    EXPECT_EQ(buffer.cursorLine(), 0);
    EXPECT_EQ(buffer.cursorColumn(), 0);
    EXPECT_EQ(buffer.topLine(), 0);
    EXPECT_EQ(buffer.leftColumn(), 0);
    EXPECT_FALSE(buffer.codeModified());
    EXPECT_EQ(buffer.identity(), (FileIdentity{"prog", "prog", TextEncoding::Local8Bit}));

    // Undo brings back the text with its name and encoding, unsaved.
    ASSERT_TRUE(buffer.undo());
    EXPECT_EQ(buffer.lines(), QStringList({"xw"}));
    EXPECT_EQ(buffer.identity(), (FileIdentity{"wide", "wide", TextEncoding::Utf16LE}));
    EXPECT_TRUE(buffer.codeModified());
    EXPECT_EQ(buffer.cursorColumn(), 1);
    files.save("wide", buffer, messages);
    EXPECT_EQ(readBytes("wide"), bytes("\xFF\xFEx\0w\0\r\0\n\0", 10));
    EXPECT_TRUE(messages.log == QStringList({}));

    ASSERT_TRUE(buffer.redo());
    EXPECT_EQ(buffer.lines(), QStringList({"one", "two"}));
    EXPECT_EQ(buffer.identity().name, "prog");
}

TEST_F(CodeFileFixture, SavingOverAnotherExistingFileAsksFirst)
{
    struct Case {
        const char *label;
        QString opened;   // empty: the new program, never saved
        QString savedAs;
        bool answer;
        QStringList asked;
        bool written;
    };
    const std::vector<Case> cases = {
        {"the file the text came from", "mine", "mine", false, {}, true},
        {"a name no file has", "mine", "fresh", false, {}, true},
        {"another file, answered no", "mine", "theirs", false, {"Replace theirs?"}, false},
        {"another file, answered yes", "mine", "theirs", true, {"Replace theirs?"}, true},
        {"a new program under a file's name", "", "theirs", false, {"Replace theirs?"}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        QDir(codeDir).removeRecursively();
        QDir().mkpath(codeDir);
        writeBytes("mine", "m\r\n");
        writeBytes("theirs", "t\r\n");
        CodeBuffer buffer;
        CodeFiles files(codeDir);
        if (!c.opened.isEmpty())
            files.open(c.opened, buffer);
        buffer.insertText(0, 0, "edit ");
        buffer.setCodeModified(true);
        messages.log.clear();
        messages.answer = c.answer;

        const std::optional<QString> saved = files.save(c.savedAs, buffer, messages);
        EXPECT_EQ(messages.log, c.asked);
        EXPECT_EQ(saved.has_value(), c.written);
        EXPECT_EQ(readBytes(c.savedAs).startsWith("edit "), c.written);
        EXPECT_EQ(buffer.codeModified(), !c.written);
        EXPECT_EQ(buffer.identity().origin, c.written ? c.savedAs : c.opened);
        if (!c.written)
            continue;
        // The text belongs to that file now: the next save does not ask.
        messages.log.clear();
        EXPECT_EQ(files.save(c.savedAs, buffer, messages), "Saved.");
        EXPECT_TRUE(messages.log.isEmpty());
    }
}

TEST_F(CodeFileFixture, EmptyFileLoadsAsOneEmptyLine)
{
    writeBytes("empty", "");
    CodeBuffer buffer;
    CodeFiles files(codeDir);
    files.open("empty", buffer);
    EXPECT_EQ(buffer.lines(), QStringList{""});
}

TEST_F(CodeFileFixture, DamagedUtf16LoadsWithAWarning)
{
    struct Case {
        const char *label;
        QByteArray file;
    };
    const std::vector<Case> cases = {
        {"odd byte count", bytes("\xFF\xFEx\0y", 5)},
        {"lone high surrogate", bytes("\xFF\xFE\x3D\xD8x\0", 6)},
        {"lone low surrogate", bytes("\xFE\xFF\xDE\x00\0x", 6)},
        {"damaged UTF-8 after a mark", "\xEF\xBB\xBF\xC3x"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        writeBytes("bad", c.file);
        CodeBuffer buffer;
        CodeFiles files(codeDir);
        EXPECT_EQ(files.open("bad", buffer), CodeFiles::damagedWarning());
        EXPECT_TRUE(buffer.lines().join("").contains(QChar::ReplacementCharacter));
    }
}

TEST_F(CodeFileFixture, ALatin1FileThatGainsAWideCharacterIsSavedAsUtf8)
{
    writeBytes("old", "caf\xE9\r\n");
    CodeBuffer buffer;
    CodeFiles files(codeDir);
    files.open("old", buffer);
    buffer.insertText(0, 0, QString(QChar(0x3C0)));
    EXPECT_EQ(files.save("old", buffer, messages), "Saved as UTF-8.");
    EXPECT_EQ(readBytes("old"), QByteArray("\xEF\xBB\xBF\xCF\x80" "caf\xC3\xA9\r\n"));
    EXPECT_EQ(buffer.identity().encoding, TextEncoding::Utf8Bom);
    EXPECT_EQ(files.save("old", buffer, messages), "Saved.");
}

TEST_F(CodeFileFixture, ALatin1FileKeepsItsEncodingForCharactersItHolds)
{
    writeBytes("old", "a\r\n");
    CodeBuffer buffer;
    CodeFiles files(codeDir);
    files.open("old", buffer);
    // "a" is valid UTF-8 and so not Latin-1; a second file sets the encoding.
    writeBytes("latin", "\xFC\r\n");
    files.open("latin", buffer);
    buffer.insertText(0, 1, QString(QChar(0xF6)));
    EXPECT_EQ(files.save("latin", buffer, messages), "Saved.");
    EXPECT_EQ(readBytes("latin"), QByteArray("\xFC\xF6\r\n"));
}

TEST_F(CodeFileFixture, TheEncodingOutlivesNew)
{
    writeBytes("sixteen", bytes("\xFF\xFEx\0\r\0\n\0", 8));
    CodeBuffer buffer;
    CodeFiles files(codeDir);
    files.open("sixteen", buffer);
    buffer.NewProgram();
    files.save("fresh", buffer, messages);
    EXPECT_TRUE(readBytes("fresh").startsWith(bytes("\xFF\xFE/\0/\0\r\0\n\0", 10)));
}

TEST_F(CodeFileFixture, SaveRefusesBadNamesAndWritesNothing)
{
    struct Case {
        const char *label;
        QString name;
        QString message;
    };
    const std::vector<Case> cases = {
        {"empty", "", "Input file name."},
        {"parent", "..", "Invalid file name."},
        {"dot", ".", "Invalid file name."},
        {"path", "../escaped", "Invalid file name."},
        {"backslash", "a\\b", "Invalid file name."},
        {"line break", "two\nlines", "Invalid file name."},
        // Both would be stored as x, U+FFFD, y: the second Save would replace the first file.
        {"lone high surrogate", QStringLiteral("x") + QChar(0xD800) + "y", "Invalid file name."},
        {"lone low surrogate", QStringLiteral("x") + QChar(0xDC00) + "y", "Invalid file name."},
        {"too long", QString(256, u'a'), "File name too long."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        CodeBuffer buffer;
        buffer.setCodeModified(true);
        CodeFiles files(codeDir);
        try {
            files.save(c.name, buffer, messages);
            ADD_FAILURE() << "saved";
        } catch (const QuillError &error) {
            EXPECT_EQ(error.message(), c.message);
        }
        EXPECT_TRUE(buffer.codeModified());
        EXPECT_TRUE(QDir(codeDir).entryList(QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_FALSE(QFile::exists(root.path() + "/escaped"));
    }
}

TEST_F(CodeFileFixture, AFailedSaveKeepsModifiedAndTheOldFile)
{
    writeBytes("kept", "old\r\n");
    CodeBuffer buffer;
    buffer.setCodeModified(true);
    CodeFiles files(root.path() + "/missing-dir/");
    EXPECT_THROW(files.save("kept", buffer, messages), QuillError);
    EXPECT_TRUE(buffer.codeModified());
    EXPECT_EQ(readBytes("kept"), "old\r\n");
}

TEST_F(CodeFileFixture, AFailedOpenKeepsTheText)
{
    CodeBuffer buffer;
    buffer.insertText(0, 0, "mine");
    buffer.setCodeModified(true);
    CodeFiles files(codeDir);
    EXPECT_THROW(files.open("absent", buffer), QuillError);
    EXPECT_EQ(buffer.line(0), "mine//");
    EXPECT_TRUE(buffer.codeModified());
    EXPECT_TRUE(buffer.canUndo());
}

} // namespace
} // namespace quill
