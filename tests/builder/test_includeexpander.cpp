// Include expansion from memory and from the code folder, the page's origin
// map and the limits that keep a runaway program from exhausting memory.
#include "builder/includeexpander.h"
#include "builder/includefilereader.h"
#include "builder/pagegenerator.h"

#include "base/quillerror.h"
#include "base/textfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace quill {
namespace {

class RecordedMessages : public MessageSink {
public:
    void showMessage(const QString &text) override { shown.append(text); }
    QStringList shown;
};

// Include files held in memory, each its own identity.
class MemoryIncludes : public IncludeReader {
public:
    explicit MemoryIncludes(QHash<QString, QStringList> files) : files_(std::move(files)) {}
    std::optional<IncludeFile> readInclude(const QString &name) override
    {
        ++reads;
        if (!files_.contains(name))
            return std::nullopt;
        return IncludeFile{files_.value(name), name};
    }
    int reads = 0;

private:
    QHash<QString, QStringList> files_;
};

TEST(ExpandIncludes, EveryLineKnowsWhereItCameFrom)
{
    MemoryIncludes files({{"a", {"a1", "include b", "a3"}}, {"b", {"b1"}}});
    RecordedMessages messages;
    const ExpandedCode code = expandIncludes({"p0", "include a", "p2", "include b"}, files, messages);
    ASSERT_TRUE(code.complete);
    EXPECT_EQ(code.lines, (QStringList{"p0", "a1", "b1", "a3", "p2", "b1"}));
    EXPECT_EQ(code.sources, (QStringList{"", "a", "b"}));
    const std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {2, 0}, {1, 2}, {0, 2}, {2, 0}};
    ASSERT_EQ(code.origins.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(code.origins[i].source, expected[i].first) << i;
        EXPECT_EQ(code.origins[i].line, expected[i].second) << i;
    }
    EXPECT_EQ(files.reads, 2) << "a file included twice is read once";
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST(ExpandIncludes, StopsWhereItFailsAndSaysWhy)
{
    struct Case {
        const char *name;
        QStringList code;
        QStringList lines;
        QString message;
    };
    const std::vector<Case> cases = {
        {"missing file", {"x", "include gone", "y"}, {"x"}, "Failed to open gone"},
        {"cycle", {"include loop"}, {"l1"}, "Include cycle at loop."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MemoryIncludes files({{"loop", {"l1", "include loop"}}});
        RecordedMessages messages;
        const ExpandedCode code = expandIncludes(c.code, files, messages);
        EXPECT_FALSE(code.complete);
        EXPECT_EQ(code.lines, c.lines);
        EXPECT_EQ(messages.shown, QStringList{c.message});
    }
}

TEST(ExpandIncludes, ExpandedCodeBeyondTheLimitIsRefused)
{
    MemoryIncludes files({{"big", QStringList(100, QString(100, u'x'))}});
    RecordedMessages messages;
    const ExpandedCode code =
        expandIncludes({"include big", "include big"}, files, messages, /*sizeLimit=*/15000);
    EXPECT_FALSE(code.complete);
    EXPECT_EQ(messages.shown, QStringList{"Too large: big."});
}

class IncludeFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        codeDir = dir.path() + "/prgfiles/";
        ASSERT_TRUE(QDir().mkpath(codeDir));
    }
    QTemporaryDir dir;
    QString codeDir;
};

TEST_F(IncludeFolder, OnlyRegularFilesOfTheirWholeNameAreRead)
{
    writeTextFile(codeDir + "a", {"var a;"});
    const QByteArray fifo = QFile::encodeName(codeDir + "fifo");
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkpath(codeDir + "folder"));

    IncludeFileReader reader(codeDir);
    EXPECT_TRUE(reader.readInclude("a").has_value());
    struct Case {
        const char *name;
        QString include;
    };
    const std::vector<Case> refused = {
        {"a NUL cuts no name short", QString("a") + QChar(u'\0') + "b"},
        {"a FIFO would hang", "fifo"},
        {"a device reads for ever", "../../../../../../../../dev/zero"},
        {"a folder", "folder"},
        {"missing", "nothere"},
    };
    for (const Case &c : refused)
        EXPECT_FALSE(reader.readInclude(c.include).has_value()) << c.name;
}

TEST_F(IncludeFolder, AFileTooLargeForAnyGameIsRefusedByName)
{
    QFile big(codeDir + "big");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(IncludeFileReader::IncludeFileLimit + 1));  // sparse: costs no disk
    big.close();
    IncludeFileReader reader(codeDir);
    try {
        reader.readInclude("big");
        ADD_FAILURE() << "a 16 MB include was read";
    } catch (const QuillError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("Too large: big."));
    }
}

TEST(PageLimits, RunawaySpriteLinesAreRefusedBeforeTheyAreBuilt)
{
    const QString longNumber(1024 * 1024, u'7');
    struct Case {
        const char *name;
        QStringList code;
    };
    const std::vector<Case> cases = {
        {"a megabyte image number, many frames", {"sprite(" + longNumber + ",'cat',10000);"}},
        {"thousands of lines of 10,000 frames",
         QStringList(2000, "sprite(1,'cat',10000);")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            rewriteCode(c.code, /*use3D=*/false);
            ADD_FAILURE() << "no error";
        } catch (const QuillError &error) {
            EXPECT_EQ(error.message(), QStringLiteral("Too large: the page."));
        }
    }
}

TEST(PageLimits, AMessageQuotesAtMostTwoHundredCharactersOfALine)
{
    const QString line = "sprite(1,'cat',x" + QString(1000000, u'y') + ");";
    try {
        rewriteCode({line}, false);
        ADD_FAILURE() << "no error";
    } catch (const QuillError &error) {
        EXPECT_LT(error.message().size(), 450);
        EXPECT_TRUE(error.message().startsWith("Invalid number 'x")) << error.message().left(80).toStdString();
        EXPECT_TRUE(error.message().endsWith(QChar(0x2026)));
    }
    EXPECT_EQ(quotedLine(QString(200, u'a')), QString(200, u'a'));
    EXPECT_EQ(quotedLine(QString(201, u'a')), QString(200, u'a') + QChar(0x2026));
}

TEST(BuildPage, MapsEveryPageLineBackToItsSource)
{
    MemoryIncludes files({{"lib", {"var l;", "l = 1;"}}});
    RecordedMessages messages;
    const QStringList templateLines = {"<head>", "<script>##user##", "</script>"};
    const GeneratedPage page =
        buildPage({"function init(){}", "include lib", "x();"}, "game", files, templateLines, messages);
    ASSERT_TRUE(page.written);
    // Four stubs go in front of the code: the program has only init().
    const QStringList pageLines = splitLines(page.pageText());
    ASSERT_EQ(pageLines.size(), 2 + 4 + 4 + 1);
    ASSERT_EQ(page.origins.size(), std::size_t(pageLines.size()));
    EXPECT_EQ(page.sources, (QStringList{"", "lib"}));
    struct Expect {
        int pageLine, source, line;
        QString text;
    };
    const std::vector<Expect> expected = {
        {0, -1, -1, "<head>"},
        {1, -1, -1, "<script>function mouseup(x,y){};"},
        {5, 0, 0, "function init(){}"},
        {6, 1, 0, "var l;"},
        {7, 1, 1, "l = 1;"},
        {8, 0, 2, "x();"},
        {10, -1, -1, "</script>"},
    };
    for (const Expect &e : expected) {
        SCOPED_TRACE(e.pageLine);
        EXPECT_EQ(pageLines[e.pageLine], e.text);
        EXPECT_EQ(page.origins[e.pageLine].source, e.source);
        EXPECT_EQ(page.origins[e.pageLine].line, e.line);
    }
}

} // namespace
} // namespace quill
