// The one reader of files that users and programs name: regular files only,
// never a wait on a FIFO, and a size limit.
#include "base/filereader.h"
#include "base/quillerror.h"
#include "base/textfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace quill {
namespace {

class FileReaderTest : public ::testing::Test {
public:
    void SetUp() override { ASSERT_TRUE(root.isValid()); }
    void TearDown() override
    {
        if (socketFd >= 0)
            ::close(socketFd);
    }
    QString path(const QString &name) const { return root.path() + "/" + name; }
    bool makeFifo(const QString &name) const
    {
        return ::mkfifo(QFile::encodeName(path(name)).constData(), 0600) == 0;
    }
    bool makeSocket(const QString &name)
    {
        socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray bytes = QFile::encodeName(path(name));
        if (socketFd < 0 || bytes.size() >= qsizetype(sizeof address.sun_path))
            return false;
        std::copy(bytes.begin(), bytes.end(), address.sun_path);
        return ::bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }

    QTemporaryDir root;
    int socketFd = -1;
};

// Runs read on another thread and gives it a few seconds: a reader that
// waits on a FIFO is freed by a writer that opens and closes the other end,
// so that a failing test still ends.
QString outcomeOf(const std::function<void()> &read, const QString &fifo = QString())
{
    auto outcome = std::async(std::launch::async, [&]() -> QString {
        try {
            read();
            return QStringLiteral("read");
        } catch (const QuillError &error) {
            return error.message();
        }
    });
    if (outcome.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        if (!fifo.isEmpty()) {
            const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        outcome.wait();
        return QStringLiteral("blocked");
    }
    return outcome.get();
}

struct KindCase {
    const char *label;
    std::function<bool(FileReaderTest &)> make;  // makes "entry"
    QString outcome;
};

TEST_F(FileReaderTest, OnlyRegularFilesAreReadAndNothingWaits)
{
    writeBinaryFile(path("plain"), "bytes");
    const QString refused = QStringLiteral("Failed to open entry.");
    const std::vector<KindCase> cases = {
        {"a regular file", [](auto &t) { return QFile::copy(t.path("plain"), t.path("entry")); }, "read"},
        {"a link to a regular file", [](auto &t) { return QFile::link(t.path("plain"), t.path("entry")); }, "read"},
        {"a FIFO", [](auto &t) { return t.makeFifo("entry"); }, refused},
        {"a link to a FIFO",
         [](auto &t) { return t.makeFifo("fifo") && QFile::link(t.path("fifo"), t.path("entry")); }, refused},
        {"a link to the zero device", [](auto &t) { return QFile::link("/dev/zero", t.path("entry")); }, refused},
        {"a link to the null device", [](auto &t) { return QFile::link("/dev/null", t.path("entry")); }, refused},
        {"a socket", [](auto &t) { return t.makeSocket("entry"); }, refused},
        {"a folder", [](auto &t) { return QDir(t.root.path()).mkdir("entry"); }, refused},
    };
    for (const KindCase &c : cases) {
        SCOPED_TRACE(c.label);
        QFile::remove(path("entry"));
        QDir(path("entry")).removeRecursively();
        QFile::remove(path("fifo"));
        ASSERT_TRUE(c.make(*this));
        const QString fifo = QFileInfo(path("entry")).canonicalFilePath();
        for (const auto &[how, read] : std::vector<std::pair<const char *, std::function<void()>>>{
                 {"whole", [&] { EXPECT_EQ(readRegularFile(path("entry"), "entry", 100), "bytes"); }},
                 {"start", [&] { EXPECT_EQ(readFileStart(path("entry"), "entry", 3), "byt"); }},
                 {"as text", [&] { EXPECT_EQ(readTextFile(path("entry")).lines, QStringList{"bytes"}); }},
             }) {
            SCOPED_TRACE(how);
            EXPECT_EQ(outcomeOf(read, fifo), c.outcome);
        }
        if (socketFd >= 0) {
            ::close(socketFd);
            socketFd = -1;
        }
    }
}

TEST_F(FileReaderTest, AMissingFileGivesThePathAndTheReason)
{
    try {
        readRegularFile(path("gone"), "gone", 100);
        FAIL() << "no error";
    } catch (const QuillError &error) {
        EXPECT_TRUE(error.message().contains(path("gone"))) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains("No such file")) << error.message().toStdString();
    }
}

struct SizeCase {
    const char *label;
    qsizetype size;
    qint64 limit;
    bool read;
};

TEST_F(FileReaderTest, AFileOverTheLimitIsRefusedByName)
{
    const std::vector<SizeCase> cases = {
        {"empty", 0, 0, true},
        {"at the limit", 10, 10, true},
        {"one byte over", 11, 10, false},
        {"far over", 1 << 20, 1000, false},
    };
    for (const SizeCase &c : cases) {
        SCOPED_TRACE(c.label);
        writeBinaryFile(path("big"), QByteArray(c.size, 'x'));
        if (c.read) {
            EXPECT_EQ(readRegularFile(path("big"), "img/big.png", c.limit).size(), c.size);
            continue;
        }
        try {
            readRegularFile(path("big"), "img/big.png", c.limit);
            ADD_FAILURE() << "no error";
        } catch (const QuillError &error) {
            EXPECT_EQ(error.message(), "Too large: img/big.png.");
        }
    }
    // A sparse file of gigabytes is refused by its size, not read.
    QFile sparse(path("sparse"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(3) << 30));
    sparse.close();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(outcomeOf([&] { readBinaryFile(path("sparse")); }), "Too large: sparse.");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
}

TEST_F(FileReaderTest, ReadSoFarSeesEveryPieceInOrder)
{
    QByteArray bytes(300 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    writeBinaryFile(path("pieces"), bytes);
    std::vector<qsizetype> seen;
    const QByteArray read = readRegularFile(path("pieces"), "pieces", TextFileLimit,
                                            [&](QByteArrayView soFar) {
                                                EXPECT_EQ(soFar, QByteArrayView(bytes).first(soFar.size()));
                                                seen.push_back(soFar.size());
                                            });
    EXPECT_EQ(read, bytes);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.back(), bytes.size());
}

} // namespace
} // namespace quill
