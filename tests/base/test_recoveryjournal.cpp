// The recovery journal: what it writes can always be read back whole, and
// what is cut short or damaged is never taken for work.
#include "base/journalwriter.h"
#include "base/quillerror.h"
#include "base/recoveryjournal.h"

#include "tests/support/eventwait.h"
#include "tests/support/fulldisk.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace quill {
namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

JournalEntry sampleEntry()
{
    return {{"name", "cat_game"}, {"encoding", "utf-8"}, {"text", QByteArray("a\0b\r\nc\r\n", 8)}};
}

TEST(JournalEntry, RoundTrips)
{
    struct Case {
        const char *name;
        JournalEntry entry;
    };
    const std::vector<Case> cases = {
        {"no fields", {}},
        {"empty values", {{"name", ""}, {"text", ""}}},
        {"bytes of every value", {{"text", [] {
                                       QByteArray all;
                                       for (int i = 0; i < 256; ++i)
                                           all.append(char(i));
                                       return all;
                                   }()}}},
        {"a megabyte", {{"text", QByteArray(1024 * 1024, 'x')}}},
        {"the sample", sampleEntry()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decodeJournalEntry(encodeJournalEntry(c.entry)), c.entry);
    }
}

// A kill during a write, a disk that lost the end of a file, a flipped bit:
// whatever the bytes, they are the whole entry or nothing.
TEST(JournalEntry, EveryCutAndEveryChangedByteIsRefused)
{
    const QByteArray whole = encodeJournalEntry(sampleEntry());
    for (qsizetype length = 0; length < whole.size(); ++length)
        EXPECT_EQ(decodeJournalEntry(whole.first(length)), std::nullopt) << "cut at " << length;
    for (qsizetype at = 0; at < whole.size(); ++at) {
        QByteArray changed = whole;
        changed[at] = char(changed[at] ^ 0x5A);
        EXPECT_EQ(decodeJournalEntry(changed), std::nullopt) << "changed at " << at;
    }
    EXPECT_EQ(decodeJournalEntry(whole + "x"), std::nullopt) << "a byte too many";
}

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(state.isValid()); }
    QString folder() const { return state.path() + "/journal/"; }
    QTemporaryDir state;
};

TEST_F(JournalTest, WritesReadsAndRemovesEntries)
{
    RecoveryJournal journal(folder());
    EXPECT_TRUE(journal.read().entries.empty()) << "no folder yet";
    journal.write("sprite", {{"name", "hero"}});
    journal.write("code", sampleEntry());
    journal.write("code", {{"name", "second"}});
    const RecoveryJournal::Contents contents = journal.read();
    ASSERT_EQ(contents.entries.size(), 2u);
    EXPECT_EQ(contents.entries[0].slot, "code");
    EXPECT_EQ(contents.entries[0].entry, (JournalEntry{{"name", "second"}}));
    EXPECT_EQ(contents.entries[1].slot, "sprite");
    EXPECT_TRUE(contents.setAside.isEmpty());
    EXPECT_EQ(QFileInfo(journal.pathOf("code")).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
              QFileDevice::Permissions());

    journal.remove("code");
    journal.remove("code");
    ASSERT_EQ(journal.read().entries.size(), 1u);
    EXPECT_EQ(journal.read().entries[0].slot, "sprite");
}

TEST_F(JournalTest, AnUnreadableFileIsSetAsideOnceAndALeftOverTemporaryGoes)
{
    RecoveryJournal journal(folder());
    journal.write("sprite", {{"name", "hero"}});
    const QByteArray whole = encodeJournalEntry(sampleEntry());
    writeRaw(journal.pathOf("code"), whole.first(whole.size() / 2));
    writeRaw(folder() + "code.journal.tmp", whole.first(10));

    const RecoveryJournal::Contents first = journal.read();
    ASSERT_EQ(first.entries.size(), 1u);
    EXPECT_EQ(first.entries[0].slot, "sprite");
    ASSERT_EQ(first.setAside.size(), 1);
    EXPECT_TRUE(first.setAside[0].startsWith(journal.pathOf("code") + ".unreadable-"));
    EXPECT_EQ(bytesOf(first.setAside[0]), whole.first(whole.size() / 2)) << "kept as it was";
    EXPECT_FALSE(QFile::exists(journal.pathOf("code")));
    EXPECT_FALSE(QFile::exists(folder() + "code.journal.tmp"));

    const RecoveryJournal::Contents second = journal.read();
    EXPECT_EQ(second.entries.size(), 1u);
    EXPECT_TRUE(second.setAside.isEmpty());
}

TEST_F(JournalTest, TheFolderStaysWithinItsLimitOldestFirst)
{
    constexpr qsizetype Limit = 64 * 1024;
    RecoveryJournal journal(folder(), Limit);
    journal.write("old", {{"text", QByteArray(30 * 1024, 'o')}});
    QThread::msleep(20);  // distinct modification times
    journal.write("sprite", {{"text", QByteArray(20 * 1024, 's')}});
    QThread::msleep(20);
    journal.write("code", {{"text", QByteArray(30 * 1024, 'c')}});
    RecoveryJournal::Contents contents = journal.read();
    ASSERT_EQ(contents.entries.size(), 2u);
    EXPECT_EQ(contents.entries[0].slot, "code");
    EXPECT_EQ(contents.entries[1].slot, "sprite");

    // One entry above the limit is not kept, and the former one stays.
    EXPECT_THROW(journal.write("code", {{"text", QByteArray(Limit, 'x')}}), QuillError);
    contents = journal.read();
    ASSERT_EQ(contents.entries.size(), 2u);
    EXPECT_EQ(contents.entries[0].entry["text"], QByteArray(30 * 1024, 'c'));
}

TEST_F(JournalTest, AFullDiskFailsTheWriteAndKeepsTheFormerEntry)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    testsupport::FullDisk disk(folder());
    ASSERT_TRUE(disk.mounted()) << disk.error();
    RecoveryJournal journal(folder());
    journal.write("code", sampleEntry());
    ASSERT_TRUE(disk.fill());
    try {
        journal.write("code", {{"text", QByteArray(8192, 'x')}});
        ADD_FAILURE() << "written on a full disk";
    } catch (const QuillError &error) {
        EXPECT_TRUE(error.message().contains("No space left on device")) << error.message().toStdString();
    }
    const RecoveryJournal::Contents contents = journal.read();
    ASSERT_EQ(contents.entries.size(), 1u);
    EXPECT_EQ(contents.entries[0].entry, sampleEntry());
    EXPECT_FALSE(QFile::exists(folder() + "code.journal.tmp"));
}

// A process killed with SIGKILL at random moments while it rewrites its
// entries: every time, what is on disk reads back as one of the entries it
// wrote, whole, and nothing is ever set aside.
TEST_F(JournalTest, AKillAtAnyMomentLeavesAReadableJournal)
{
    const auto entryNumber = [](int n) {
        return JournalEntry{{"n", QByteArray::number(n)}, {"text", QByteArray(100 * 1024 + n, char('a' + n % 26))}};
    };
    std::mt19937 random(17);
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(round);
        QDir(folder()).removeRecursively();
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RecoveryJournal journal(folder());
            for (int n = 0;; ++n) {
                try {
                    journal.write("code", entryNumber(n));
                    journal.write("sprite", entryNumber(n + 1));
                } catch (...) {
                    _exit(2);
                }
            }
        }
        ::usleep(useconds_t(2000 + random() % 60000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself";

        RecoveryJournal journal(folder());
        const RecoveryJournal::Contents contents = journal.read();
        EXPECT_TRUE(contents.setAside.isEmpty()) << contents.setAside.join(' ').toStdString();
        for (const RecoveryJournal::Found &found : contents.entries) {
            const int n = found.entry["n"].toInt();
            EXPECT_EQ(found.entry, entryNumber(n)) << found.slot.toStdString();
        }
    }
}

class JournalWriterTest : public JournalTest {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "journal test";
        static char *argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }

    JournalWriter::Done recorder()
    {
        return [this](const QString &slot, const std::optional<QString> &error) {
            outcomes << slot + ": " + error.value_or("written");
        };
    }
    QStringList outcomes;
};

TEST_F(JournalWriterTest, TheLatestRequestOfASlotWins)
{
    {
        JournalWriter writer(folder(), recorder());
        for (int i = 0; i < 50; ++i)
            writer.write("code", [i] { return JournalEntry{{"n", QByteArray::number(i)}}; });
        writer.write("sprite", [] { return JournalEntry{{"name", "hero"}}; });
        writer.remove("sprite");
        writer.flush();
        RecoveryJournal journal(folder());
        const RecoveryJournal::Contents contents = journal.read();
        ASSERT_EQ(contents.entries.size(), 1u);
        EXPECT_EQ(contents.entries[0].entry["n"], "49");
    }
    testsupport::waitFor([this] { return !outcomes.isEmpty(); }, 100);
    QCoreApplication::processEvents();
    EXPECT_TRUE(outcomes.isEmpty()) << "nothing is told once the writer is gone";
}

TEST_F(JournalWriterTest, FailuresAreToldThenSuccessAgain)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    JournalWriter writer(folder(), recorder());
    {
        testsupport::FullDisk disk(folder());
        ASSERT_TRUE(disk.mounted()) << disk.error();
        ASSERT_TRUE(disk.fill());
        writer.write("code", [] { return JournalEntry{{"text", QByteArray(8192, 'x')}}; });
        writer.flush();
        ASSERT_TRUE(testsupport::waitFor([this] { return outcomes.size() == 1; }, 5000));
        EXPECT_TRUE(outcomes[0].startsWith("code: Cannot write file")) << outcomes[0].toStdString();
        EXPECT_TRUE(outcomes[0].contains("No space left on device")) << outcomes[0].toStdString();
    }
    writer.write("code", [] { return JournalEntry{{"text", "ok"}}; });
    writer.flush();
    ASSERT_TRUE(testsupport::waitFor([this] { return outcomes.size() == 2; }, 5000));
    EXPECT_EQ(outcomes[1], "code: written");
}

} // namespace
} // namespace quill
