#include "base/quillerror.h"
#include "base/textfile.h"
#include "tests/support/fulldisk.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quill;

namespace {

struct SplitCase {
    const char *name;
    QString text;
    QStringList lines;
};

TEST(TextFile, SplitsAtEveryKindOfLineEnd)
{
    const std::vector<SplitCase> cases = {
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"lf", "a\nb\n", {"a", "b"}},
        {"cr", "a\rb\r", {"a", "b"}},
        {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"no final line end", "a\nb", {"a", "b"}},
        {"empty lines kept", "\n\nx\n", {"", "", "x"}},
        {"cr then lf is one end", "a\r\n\r\nb", {"a", "", "b"}},
        {"lf then cr is two ends", "a\n\rb", {"a", "", "b"}},
        {"cr before cr lf", "a\r\r\nb\rc", {"a", "", "b", "c"}},
        {"empty text has no line", "", {}},
        {"one line end is one empty line", "\r\n", {""}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(splitLines(c.text), c.lines) << c.name;
        EXPECT_EQ(countLines(c.text), c.lines.size()) << c.name;
    }
}

namespace {

QByteArray writtenLines(const QString &path, const QStringList &pieces, TextEncoding encoding)
{
    replaceFileWithLines(path, pieces, encoding);
    QFile written(path);
    return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray("(not written)");
}

} // namespace

// Writing a text whole gives the bytes of encoding its lines one by one, in
// every encoding, whatever its line ends and characters.
TEST(TextFile, WritingATextWholeWritesItsLines)
{
    const QString nonAscii = QStringLiteral("caf\u00e9 \u732b \U0001F431");
    const std::vector<std::pair<const char *, QString>> texts = {
        {"lf", "a\nb\n"},
        {"no final line end", "a\nb"},
        {"empty", ""},
        {"one line end", "\n"},
        {"empty lines", "\n\nx\n\n"},
        {"crlf and lone cr", "a\r\nb\rc\n"},
        {"characters beyond ASCII", nonAscii + "\n" + nonAscii},
        {"a long page", QString("<p>line</p>\n").repeated(20000) + "end"},
        // Pairs and line ends fall on every offset of a piece the page is
        // encoded in.
        {"a long page beyond ASCII", QString("\U0001F431a\n\u732b").repeated(30000)},
        {"a long page with one CR far down", QString("x = 1;\n").repeated(30000) + "y\rz\n" + "w\n"},
        {"a long page ending in a CR LF", QString("x = 1;\n").repeated(30000) + "y\r\n"},
    };
    QTemporaryDir folder;
    const QString page = folder.filePath("page.html");
    for (const TextEncoding encoding : {TextEncoding::Local8Bit, TextEncoding::Utf8Bom, TextEncoding::Latin1,
                                        TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
        for (const auto &[name, text] : texts)
            EXPECT_EQ(writtenLines(page, {text}, encoding), encodeText(splitLines(text), encoding))
                << name << " in encoding " << int(encoding);
    }
}

// A text in pieces is written as the pieces put together, wherever the
// pieces break it: inside a surrogate pair, between CR and LF, before the
// last line end or with no line end at all.
TEST(TextFile, WritingATextInPiecesWritesItsLines)
{
    const QString cat = QStringLiteral("\U0001F431");
    const std::vector<std::pair<const char *, QStringList>> cases = {
        {"one piece", {"a\nb\n"}},
        {"the code's pieces", {"<head>\n<script>", "function init(){};\nvar a;\n", "</script>\n<end>"}},
        {"empty pieces", {"", "a\n", "", "b", ""}},
        {"no pieces", {}},
        {"a pair broken between pieces", {"x" + cat.first(1), cat.sliced(1) + "\n"}},
        {"CR LF broken between pieces", {"a\r", "\nb\n"}},
        {"a lone CR in the last piece", {QString("x;\n").repeated(20000), "y\rz"}},
        {"the line end in a piece of its own", {"a", "\n"}},
        {"no line end at the end", {"a\n", "b"}},
        {"long pieces beyond ASCII", {QString("\u732b\n").repeated(30000), cat.repeated(30000)}},
    };
    QTemporaryDir folder;
    const QString page = folder.filePath("page.html");
    for (const TextEncoding encoding : {TextEncoding::Local8Bit, TextEncoding::Utf8Bom, TextEncoding::Latin1,
                                        TextEncoding::Utf16LE}) {
        for (const auto &[name, pieces] : cases) {
            // Written a chunk at a time; a CR found late starts the file again.
            EXPECT_EQ(writtenLines(page, pieces, encoding), encodeText(splitLines(pieces.join(QString())), encoding))
                << name << " in encoding " << int(encoding);
        }
    }
}

struct EncodingCase {
    const char *name;
    QByteArray bytes;
    TextEncoding encoding;
    QStringList lines;
};

TEST(TextFile, ByteOrderMarkChoosesTheEncodingAndIsNotText)
{
    const QString yen = QString::fromUtf8("\xC2\xA5");
    const std::vector<EncodingCase> cases = {
        {"utf-8 mark", QByteArray("\xEF\xBB\xBF" "a\xC2\xA5\n", 7), TextEncoding::Utf8Bom, {"a" + yen}},
        {"utf-16 le", QByteArray("\xFF\xFE" "a\0\n\0b\0", 8), TextEncoding::Utf16LE, {"a", "b"}},
        {"utf-16 be", QByteArray("\xFE\xFF\0a\0\n\0b", 8), TextEncoding::Utf16BE, {"a", "b"}},
        {"no mark is the 8-bit code page", QByteArray("a\xC2\xA5\r\n"), TextEncoding::Local8Bit, {"a" + yen}},
        {"no mark, not UTF-8: Latin-1", QByteArray("/home/j\xF6rg\r\n"), TextEncoding::Latin1,
         {QString::fromUtf8("/home/j\xC3\xB6rg")}},
        {"a lone UTF-8 lead byte is Latin-1", QByteArray("x\xC3"), TextEncoding::Latin1,
         {QString::fromUtf8("x\xC3\x83")}},
    };
    for (const auto &c : cases) {
        const TextFileContent document = decodeText(c.bytes);
        EXPECT_EQ(document.encoding, c.encoding) << c.name;
        EXPECT_EQ(document.lines, c.lines) << c.name;
    }
}

TEST(TextFile, MalformedUtf16IsReadWithReplacementsAndSaidSo)
{
    const struct {
        const char *name;
        QByteArray bytes;
        bool malformed;
    } cases[] = {
        {"whole", QByteArray("\xFF\xFE" "a\0", 4), false},
        {"odd byte count", QByteArray("\xFF\xFE" "a\0b", 5), true},
        {"lone high surrogate", QByteArray("\xFF\xFE" "\x00\xD8" "a\0", 6), true},
        {"lone low surrogate, big endian", QByteArray("\xFE\xFF" "\xDC\x00", 4), true},
    };
    for (const auto &c : cases) {
        const TextFileContent content = decodeText(c.bytes);
        EXPECT_EQ(content.malformed, c.malformed) << c.name;
        EXPECT_FALSE(content.lines.isEmpty()) << c.name;
    }
}

TEST(TextFile, Latin1FilesComeBackByteForByte)
{
    const QByteArray bytes("exportdir=/home/j\xF6rg\r\nwidth=32\r\n");
    const TextFileContent content = decodeText(bytes);
    ASSERT_EQ(content.encoding, TextEncoding::Latin1);
    EXPECT_EQ(encodeText(content.lines, content.encoding), bytes);
    EXPECT_TRUE(canEncode(content.lines, TextEncoding::Latin1));
    EXPECT_FALSE(canEncode({QString::fromUtf8("\xE7\x8C\xAB")}, TextEncoding::Latin1));
}

TEST(TextFile, WritesCrLfAfterEveryLineAndTheMarkAgain)
{
    EXPECT_EQ(encodeText({"a", "", "b"}, TextEncoding::Local8Bit), QByteArray("a\r\n\r\nb\r\n"));
    EXPECT_EQ(encodeText({}, TextEncoding::Local8Bit), QByteArray());
    EXPECT_EQ(encodeText({"x"}, TextEncoding::Utf8Bom), QByteArray("\xEF\xBB\xBFx\r\n"));
    EXPECT_EQ(encodeText({"x"}, TextEncoding::Utf16LE), QByteArray("\xFF\xFEx\0\r\0\n\0", 8));
    EXPECT_EQ(encodeText({"x"}, TextEncoding::Utf16BE), QByteArray("\xFE\xFF\0x\0\r\0\n", 8));
}

TEST(TextFile, RoundTripKeepsLinesAndEncoding)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("code");
    const QStringList lines = {QString::fromUtf8("// \xE7\x8C\xAB"), "", "function init(){}"};
    for (TextEncoding encoding : {TextEncoding::Local8Bit, TextEncoding::Utf8Bom,
                                  TextEncoding::Utf16LE, TextEncoding::Utf16BE}) {
        writeTextFile(path, lines, encoding);
        const TextFileContent back = readTextFile(path);
        EXPECT_EQ(back.lines, lines);
        EXPECT_EQ(back.encoding, encoding);
    }
}

TEST(TextFile, FailuresAreReportedWithThePath)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("nothing-here");
    try {
        readTextFile(missing);
        FAIL() << "reading a missing file must fail";
    } catch (const QuillError &error) {
        EXPECT_TRUE(error.message().contains(missing));
    }
    // A directory in the file's place cannot be replaced by a rename, even as root.
    const QString blocked = dir.filePath("blocked");
    ASSERT_TRUE(QDir().mkpath(blocked + "/inner"));
    EXPECT_THROW(writeTextFile(blocked, {"x"}), QuillError);
    EXPECT_TRUE(QFileInfo(blocked).isDir());
}

TEST(TextFile, ReplaceFileSwapsTheWholeFileOrNothing)
{
    QTemporaryDir dir;
    const QString page = dir.filePath("temp.html");
    replaceFile(page, "first");
    replaceFile(page, "second, longer");
    EXPECT_EQ(readBinaryFile(page), QByteArray("second, longer"));
    EXPECT_TRUE(QFileInfo(page).permissions().testFlag(QFileDevice::ReadOther));

    struct Case {
        const char *label;
        QString path;
    };
    const QString blocked = dir.filePath("blocked");
    ASSERT_TRUE(QDir().mkpath(blocked + "/inner"));
    const std::vector<Case> cases = {
        {"missing folder", dir.filePath("missing/temp.html")},
        {"a folder in the file's place", blocked},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        try {
            replaceFile(c.path, "x");
            ADD_FAILURE() << "replaced";
        } catch (const QuillError &error) {
            EXPECT_TRUE(error.message().contains(c.path)) << error.message().toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo(blocked).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"temp.html"}) << "no temporary file is left behind";
}

TEST(TextFile, APendingFileTakesThePlaceOnlyWhenCommitted)
{
    QTemporaryDir dir;
    const QString page = dir.filePath("game.html");
    writeBinaryFile(page, "earlier");
    {
        PendingFile dropped(page);
        dropped.write("half a ");
        dropped.write("page");
        EXPECT_EQ(readBinaryFile(page), QByteArray("earlier")) << "written before the commit";
    }
    EXPECT_EQ(readBinaryFile(page), QByteArray("earlier"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"game.html"}) << "no temporary file is left behind";

    PendingFile kept(page);
    kept.write("a whole ");
    kept.write("page");
    kept.commit();
    EXPECT_EQ(readBinaryFile(page), QByteArray("a whole page"));

    try {
        PendingFile nowhere(dir.filePath("missing/game.html"));
        ADD_FAILURE() << "opened in a missing folder";
    } catch (const QuillError &error) {
        EXPECT_EQ(error.message(), "Cannot create file \"" + dir.filePath("missing/game.html")
                                       + "\". No such file or directory");
    }
}

// A small tmpfs that the test fills up: the only honest way to make a write
// fail half-way when the tests run as root.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        mountPoint_ = dir_.filePath("small");
        ASSERT_TRUE(QDir().mkpath(mountPoint_));
        const int status = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint_});
        ASSERT_EQ(status, 0) << "mounting a tmpfs needs root";
        mounted_ = true;
    }
    void TearDown() override
    {
        if (mounted_)
            QProcess::execute("umount", {mountPoint_});
    }
    QTemporaryDir dir_;
    QString mountPoint_;
    bool mounted_ = false;
};

TEST_F(FullDisk, FailedWriteLeavesThePreviousContentWhole)
{
    const QString path = mountPoint_ + "/quillide.ini";
    writeTextFile(path, {"width=32", "sprite=16"});
    const QStringList tooLong(4000, QString(40, QChar('x')));
    try {
        writeTextFile(path, tooLong);
        ADD_FAILURE() << "the write did not fail";
    } catch (const QuillError &error) {
        EXPECT_TRUE(error.message().contains("No space left on device")) << error.message().toStdString();
    }
    EXPECT_EQ(readTextFile(path).lines, (QStringList{"width=32", "sprite=16"}));
    EXPECT_EQ(QDir(mountPoint_).entryList(QDir::Files), QStringList{"quillide.ini"})
        << "no temporary file is left behind";
}

TEST_F(FullDisk, APendingFileThatDoesNotFitLeavesThePreviousFileWhole)
{
    const QString path = mountPoint_ + "/game.html";
    writeBinaryFile(path, "<html>");
    try {
        PendingFile page(path);
        for (int piece = 0; piece < 20; ++piece)
            page.write(QByteArray(16 * 1024, 'x'));
        page.commit();
        ADD_FAILURE() << "the write did not fail";
    } catch (const QuillError &error) {
        EXPECT_EQ(error.message(), "Cannot write file \"" + path + "\". No space left on device");
    }
    EXPECT_EQ(readBinaryFile(path), QByteArray("<html>"));
    EXPECT_EQ(QDir(mountPoint_).entryList(QDir::Files), QStringList{"game.html"})
        << "no temporary file is left behind";
}

TEST_F(FullDisk, FailedReplacementLeavesThePreviousFileWhole)
{
    const QString path = mountPoint_ + "/temp.html";
    replaceFile(path, "<html>");
    try {
        replaceFile(path, QByteArray(200 * 1024, 'x'));
        ADD_FAILURE() << "the write did not fail";
    } catch (const QuillError &error) {
        EXPECT_TRUE(error.message().contains("No space left on device")) << error.message().toStdString();
    }
    EXPECT_EQ(readBinaryFile(path), QByteArray("<html>"));
    EXPECT_EQ(QDir(mountPoint_).entryList(QDir::Files), QStringList{"temp.html"})
        << "no temporary file is left behind";
}

// A folder is made with the folders above it, or refused with the
// platform's reason, for root too.
TEST(MakeFolder, MakesWhatIsMissingOrTellsWhyNot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path();
    makeFolder(root + "/a/b/c/");
    EXPECT_TRUE(QFileInfo(root + "/a/b/c").isDir());
    EXPECT_NO_THROW(makeFolder(root + "/a/b"));
    writeBinaryFile(root + "/file", "x");
    QDir().mkpath(root + "/readonly");
    testsupport::FullDisk readOnly(root + "/readonly", true);
    ASSERT_TRUE(readOnly.mounted()) << readOnly.error();

    const std::vector<std::pair<QString, QString>> refused = {
        {root + "/file/inside", "Not a directory"},
        {root + "/file", "Not a directory"},
        {root + "/readonly/inside/deeper", "Read-only file system"},
    };
    for (const auto &[folder, reason] : refused) {
        try {
            makeFolder(folder);
            ADD_FAILURE() << "made " << folder.toStdString();
        } catch (const QuillError &error) {
            EXPECT_EQ(error.message(), "Cannot create folder \"" + folder + "\". " + reason);
        }
    }
    EXPECT_NO_THROW(makeFolder(root + "/readonly"));
}

} // namespace
