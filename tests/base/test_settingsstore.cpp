#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "tests/support/fulldisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

SettingsStore storeWith(const QStringList &entries)
{
    SettingsStore store;
    store.replaceEntries(entries);
    return store;
}

struct GetCase {
    const char *name;
    QStringList entries;
    QString key;
    QString expected;
};

TEST(SettingsStoreGet, ReadsTheFirstMatchingEntry)
{
    const std::vector<GetCase> cases = {
        {"plain", {"width=32"}, "width", "32"},
        {"name in other case", {"WIDTH=40"}, "width", "40"},
        {"asked in other case", {"width=40"}, "Width", "40"},
        {"value with equals signs", {"exportdir=C:\\a=b"}, "exportdir", "C:\\a=b"},
        {"first of two", {"width=1", "width=2"}, "width", "1"},
        {"first of two differing in case", {"Width=1", "WIDTH=2"}, "width", "1"},
        {"missing", {"width=32"}, "sprite", ""},
        {"prefix is not a match", {"widthx=5"}, "width", ""},
        {"nothing trimmed from the name", {"width =5"}, "width", ""},
        {"value kept with its spaces", {"palette= MSX "}, "palette", " MSX "},
        {"line without equals has no name", {"lonely", "lonely=2"}, "lonely", "2"},
        {"line without equals never matches a prefix", {"width"}, "widt", ""},
        {"empty store", {}, "width", ""},
    };
    for (const GetCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(storeWith(c.entries).value(c.key), c.expected);
    }
}

struct SetCase {
    const char *name;
    QStringList before;
    QString key;
    QString value;
    QStringList after;
};

TEST(SettingsStoreSet, ReplacesAppendsOrRemovesInPlace)
{
    const std::vector<SetCase> cases = {
        {"existing key keeps its place", {"a=1", "width=32", "b=2"}, "width", "40",
         {"a=1", "width=40", "b=2"}},
        {"new key is appended", {"a=1", "b=2"}, "width", "32", {"a=1", "b=2", "width=32"}},
        {"only the first of two is replaced", {"x=1", "y=0", "x=2"}, "x", "9",
         {"x=9", "y=0", "x=2"}},
        {"other case is replaced under the name as set", {"WIDTH=40"}, "width", "32",
         {"width=32"}},
        {"value may contain equals signs", {}, "exportdir", "C:\\a=b", {"exportdir=C:\\a=b"}},
        {"empty value removes the entry", {"a=1", "exportdir=/x", "b=2"}, "exportdir", "",
         {"a=1", "b=2"}},
        {"empty value removes only the first", {"x=1", "x=2"}, "X", "", {"x=2"}},
        {"empty value for a missing key changes nothing", {"a=1"}, "command", "", {"a=1"}},
        {"line without equals is no entry of that name", {"lonely", "a=1"}, "lonely", "x",
         {"lonely", "a=1", "lonely=x"}},
        {"line without equals stays on an empty value", {"lonely", "a=1"}, "lonely", "",
         {"lonely", "a=1"}},
        {"bare name above the real entry", {"width", "width=40"}, "width", "32",
         {"width", "width=32"}},
    };
    for (const SetCase &c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore store = storeWith(c.before);
        store.setValue(c.key, c.value);
        EXPECT_EQ(store.entries(), c.after);
    }
}

TEST(SettingsStoreSet, RemovedKeyComesBackAtTheEnd)
{
    SettingsStore store = storeWith({"exportdir=/docs", "width=32"});
    store.setValue("exportdir", "");
    store.setValue("exportdir", "/other");
    EXPECT_EQ(store.entries(), QStringList({"width=32", "exportdir=/other"}));
}

class SettingsFileTest : public ::testing::Test {
protected:
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(SettingsFileTest, AnEightBitFileIsWrittenBackByteForByte)
{
    const QByteArray bytes("exportdir=/home/j\xF6rg/export\r\nwidth=32\r\n");
    QFile file(path("quillide.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    SettingsStore store;
    store.load(path("quillide.ini"));
    EXPECT_EQ(store.value("exportdir"), QString::fromUtf8("/home/j\xC3\xB6rg/export"));
    store.save(path("quillide.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
    file.close();

    // A character beyond Latin-1 cannot go back that way: the file becomes UTF-8.
    store.setValue("width", QString::fromUtf8("\xE7\x8C\xAB"));
    store.save(path("quillide.ini"));
    SettingsStore again;
    again.load(path("quillide.ini"));
    EXPECT_EQ(again.entries(), store.entries());
}

struct LoadCase {
    const char *name;
    QByteArray bytes;
    QStringList entries;
};

TEST_F(SettingsFileTest, LoadSplitsAtEveryLineEnd)
{
    const std::vector<LoadCase> cases = {
        {"CR LF", "a=1\r\nb=2\r\n", {"a=1", "b=2"}},
        {"LF", "a=1\nb=2\n", {"a=1", "b=2"}},
        {"CR", "a=1\rb=2\r", {"a=1", "b=2"}},
        {"mixed", "a=1\r\nb=2\nc=3\rd=4\r\n", {"a=1", "b=2", "c=3", "d=4"}},
        {"last line without line end", "a=1\r\nb=2", {"a=1", "b=2"}},
        {"empty lines are entries", "a=1\r\n\r\nb=2\r\n", {"a=1", "", "b=2"}},
        {"held verbatim", " x = y \r\nlonely\r\n", {" x = y ", "lonely"}},
        {"byte-order mark is not part of the first name", "\xEF\xBB\xBFwidth=40\r\n",
         {"width=40"}},
        {"empty file", "", {}},
    };
    for (const LoadCase &c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path("quillide.ini"), c.bytes);
        SettingsStore store = storeWith({"old=1"});
        store.load(path("quillide.ini"));
        EXPECT_EQ(store.entries(), c.entries);
    }
}

TEST_F(SettingsFileTest, UpperCaseNameInTheFileIsUsed)
{
    writeBytes(path("quillide.ini"), "sprite=16\r\nWIDTH=40\r\n");
    SettingsStore store;
    store.load(path("quillide.ini"));
    EXPECT_EQ(store.value("width"), "40");
}

TEST_F(SettingsFileTest, SaveWritesEveryEntryWithCrLfAndNoMark)
{
    SettingsStore store;
    store.setValue("exportdir", "C:\\a=b");
    store.setValue("width", "32");
    store.setValue("exportdir", "/home/anna/Dokumente");
    store.save(path("quillide.ini"));
    EXPECT_EQ(readBytes(path("quillide.ini")),
              QByteArray("exportdir=/home/anna/Dokumente\r\nwidth=32\r\n"));
}

TEST_F(SettingsFileTest, SaveDropsAByteOrderMarkFoundOnLoad)
{
    writeBytes(path("quillide.ini"), "\xEF\xBB\xBFwidth=40\nsprite=16");
    SettingsStore store;
    store.load(path("quillide.ini"));
    store.save(path("quillide.ini"));
    EXPECT_EQ(readBytes(path("quillide.ini")), QByteArray("width=40\r\nsprite=16\r\n"));
}

TEST_F(SettingsFileTest, RoundTripKeepsOrderAndNonAsciiText)
{
    const QStringList entries = {"exportdir=/home/zoë/Документы", "lonely", "", "pltMINE=00ff00"};
    storeWith(entries).save(path("quillide.ini"));
    SettingsStore loaded;
    loaded.load(path("quillide.ini"));
    EXPECT_EQ(loaded.entries(), entries);
}

struct KeptCase {
    const char *name;
    QByteArray file;
    QStringList readable;  // the entries loaded
};

// Bytes that are not text in the encoding the mark names cannot be written
// back: the file stays as it was, whatever the store does afterwards, and
// no replacement character takes the place of its bytes.
TEST_F(SettingsFileTest, AFileThatCannotBeReadAsTextIsKeptAsItWas)
{
    const std::vector<KeptCase> cases = {
        {"UTF-8 mark, then bytes that are no UTF-8",
         "\xEF\xBB\xBFwidth=40\r\nexportdir=/home/a\xFF\xFE" "b\r\nsprite=8\r\n", {"width=40", "sprite=8"}},
        {"UTF-16 of odd length", QByteArray("\xFF\xFEw\0=\0" "1\0\r\0\n\0x", 13), {"w=1"}},
        {"UTF-16 with a lone surrogate",
         QByteArray("\xFF\xFEw\0=\0\x00\xD8\r\0\n\0s\0=\0" "8\0", 18), {"s=8"}},
        {"UTF-16 big-endian of odd length", QByteArray("\xFE\xFF\0w\0=\0" "1\0\r\0\n\0", 13), {"w=1"}},
    };
    for (const KeptCase &c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path("quillide.ini"), c.file);
        SettingsStore store;
        store.load(path("quillide.ini"));
        EXPECT_TRUE(store.keptFile());
        EXPECT_EQ(store.entries(), c.readable);
        store.setValue("width", "32");
        store.save(path("quillide.ini"));
        EXPECT_EQ(readBytes(path("quillide.ini")), c.file);
    }
    EXPECT_EQ(SettingsStore::keptFileMessage("/w/quillide.ini"),
              "Settings file kept as it was: /w/quillide.ini cannot be read as text.");
}

TEST_F(SettingsFileTest, TextInAnyEncodingIsNotKept)
{
    const std::vector<QByteArray> files = {
        "width=40\r\n", "\xEF\xBB\xBFwidth=40\r\n", "exportdir=caf\xE9\r\n",
        QByteArray("\xFF\xFEw\0=\0" "1\0", 8), ""};
    for (const QByteArray &file : files) {
        writeBytes(path("quillide.ini"), file);
        SettingsStore store;
        store.load(path("quillide.ini"));
        EXPECT_FALSE(store.keptFile()) << file.toHex().toStdString();
    }
}

// A value or a name with a line break would become two lines of the file.
TEST_F(SettingsFileTest, ALineBreakNeverEntersTheFile)
{
    SettingsStore store = storeWith({"exportdir=/home/a", "width=32"});
    for (const auto &[name, value] : std::vector<std::pair<QString, QString>>{
             {"exportdir", "/home/a\n/b"}, {"exportdir", "/home/a\r"}, {"x\ny", "1"}, {"new", "a\r\nb=c"},
             {"palette", QStringLiteral(u"MSX\u2028x")}, {"exportdir", "/home/a\f"}}) {
        SCOPED_TRACE(value.toStdString());
        EXPECT_THROW(store.setValue(name, value), QuillError);
    }
    EXPECT_EQ(store.entries(), QStringList({"exportdir=/home/a", "width=32"}));
    store.save(path("quillide.ini"));
    EXPECT_EQ(readBytes(path("quillide.ini")), QByteArray("exportdir=/home/a\r\nwidth=32\r\n"));
}

TEST_F(SettingsFileTest, SaveOfAnEmptyStoreWritesAnEmptyFile)
{
    writeBytes(path("quillide.ini"), "width=32\r\n");
    SettingsStore().save(path("quillide.ini"));
    EXPECT_TRUE(readBytes(path("quillide.ini")).isEmpty());
}

TEST_F(SettingsFileTest, FailuresThrowNamingTheFile)
{
    SettingsStore store = storeWith({"width=32"});
    EXPECT_THROW(store.load(path("missing.ini")), QuillError);
    EXPECT_EQ(store.entries(), QStringList({"width=32"}));

    // A folder where the file should be: the write must fail even for root.
    ASSERT_TRUE(QDir(dir.path()).mkdir("quillide.ini"));
    try {
        store.save(path("quillide.ini"));
        FAIL() << "saving over a folder succeeded";
    } catch (const QuillError &error) {
        EXPECT_TRUE(error.message().contains("quillide.ini")) << error.what();
    }
}

TEST_F(SettingsFileTest, SaveOnAFullDiskFailsAndKeepsTheOldFile)
{
    testsupport::FullDisk disk(dir.path());
    ASSERT_TRUE(disk.mounted()) << disk.error();
    SettingsStore store = storeWith({"width=32", "sprite=16"});
    store.save(path("quillide.ini"));
    ASSERT_TRUE(disk.fill());

    store.setValue("width", "40");
    EXPECT_THROW(store.save(path("quillide.ini")), QuillError);
    EXPECT_EQ(readBytes(path("quillide.ini")), QByteArray("width=32\r\nsprite=16\r\n"));
}

} // namespace
} // namespace quill
