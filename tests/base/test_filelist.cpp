// The one listing of plain files behind both file lists and the pick list.
#include "base/filelist.h"
#include "base/textfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <functional>
#include <vector>

namespace quill {
namespace {

class FileListFixture : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        folder = root.path() + "/files/";
        ASSERT_TRUE(QDir().mkpath(folder));
    }
    void writeFile(const QString &path) { writeBinaryFile(path, "x"); }
    void TearDown() override
    {
        if (socketFd >= 0)
            ::close(socketFd);
    }

    QTemporaryDir root;
    QString folder;
    int socketFd = -1;
};

struct EntryCase {
    const char *name;
    const char *entry;  // the entry's name in the folder
    std::function<bool(FileListFixture &, const QString &path)> make;
    bool listed;
};

TEST_F(FileListFixture, ListsRegularFilesOnlyHiddenOnesIncluded)
{
    const QString outside = root.path() + "/outside";
    writeFile(outside);
    ASSERT_TRUE(QDir(root.path()).mkdir("outsidedir"));
    const std::vector<EntryCase> cases = {
        {"a regular file", "entry", [](auto &f, const QString &p) { f.writeFile(p); return true; }, true},
        {"a hidden file", ".entry", [](auto &f, const QString &p) { f.writeFile(p); return true; }, true},
        {"an empty file", "entry", [](auto &, const QString &p) { QFile file(p); return file.open(QIODevice::WriteOnly); }, true},
        {"a folder", "entry", [](auto &, const QString &p) { return QDir().mkdir(p); }, false},
        {"a link to a file outside the folder", "entry",
         [&](auto &, const QString &p) { return QFile::link(outside, p); }, false},
        {"a link to a folder", "entry", [&](auto &, const QString &p) { return QFile::link(root.path() + "/outsidedir", p); }, false},
        {"a link to a device", "entry", [](auto &, const QString &p) { return QFile::link("/dev/zero", p); }, false},
        {"a broken link", "entry", [](auto &, const QString &p) { return QFile::link("/nonexistent/x", p); }, false},
        {"a FIFO", "entry", [](auto &, const QString &p) { return ::mkfifo(QFile::encodeName(p).constData(), 0600) == 0; }, false},
        {"a socket", "entry",
         [](auto &f, const QString &p) {
             f.socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             const QByteArray path = QFile::encodeName(p);
             if (f.socketFd < 0 || path.size() >= qsizetype(sizeof address.sun_path))
                 return false;
             std::copy(path.begin(), path.end(), address.sun_path);
             return ::bind(f.socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
         },
         false},
    };
    for (const EntryCase &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir(folder).removeRecursively() && QDir().mkpath(folder));
        const QString name = QString::fromLatin1(c.entry);
        ASSERT_TRUE(c.make(*this, folder + name));
        EXPECT_EQ(ListFiles(folder), c.listed ? QStringList{name} : QStringList{});
        if (socketFd >= 0) {
            ::close(socketFd);
            socketFd = -1;
        }
    }
}

TEST_F(FileListFixture, SortsOnceInTheOneOrderOfNames)
{
    for (const char *name : {"c", "_u", "B", "abc", "1x", "a", "ab", ".hidden"})
        writeFile(folder + name);
    EXPECT_EQ(ListFiles(folder), QStringList({".hidden", "1x", "a", "ab", "abc", "B", "c", "_u"}));
}

// A list item or a declaration made from a name holds one line.
TEST_F(FileListFixture, NamesWithControlCharactersAreLeftOut)
{
    const QStringList kept = {"cat.png", "tab free", "\u00e9t\u00e9"};
    const QStringList left = {"two\nlines.png", "cr\r", "tab\there", "bell\a",
                              QStringLiteral("sep") + QChar(0x2028)};
    for (const QString &name : kept + left)
        writeFile(folder + name);
    EXPECT_EQ(ListFiles(folder), QStringList({"cat.png", "tab free", "\u00e9t\u00e9"}));
}

TEST_F(FileListFixture, AMissingFolderListsNothing)
{
    EXPECT_EQ(ListFiles(root.path() + "/nothing/"), QStringList());
}

} // namespace
} // namespace quill
