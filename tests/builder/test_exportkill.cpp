// Exports killed at random moments: once the next Export or start has
// settled the folder, NAME.zip and NAME.html are always a pair (the old one
// or the new), and nothing of the export's own is left in the folder.
#include "builder/exportprogram.h"
#include "builder/exportstaging.h"

#include "base/textfile.h"
#include "base/workspace.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace quill;

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray member(const QString &archive, const QString &name)
{
    QProcess process;
    process.start("unzip", {"-p", archive, name});
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}

TEST(ExportKilled, EveryKillLeavesAPairOnceSettled)
{
    QTemporaryDir workspace, outside;
    ASSERT_TRUE(workspace.isValid() && outside.isValid());
    const WorkspacePaths paths = WorkspacePaths::fromBaseDir(workspace.path() + "/");
    ASSERT_TRUE(QDir().mkpath(paths.audioDir) && QDir().mkpath(paths.scriptDir));
    // A large sound, so that a kill often falls while it is packed.
    QByteArray sound(8 << 20, Qt::Uninitialized);
    for (char &byte : sound)
        byte = char(QRandomGenerator::global()->bounded(256));
    writeBinaryFile(paths.audioDir + "tune.ogg", sound);
    writeBinaryFile(paths.scriptDir + "quillfunc.js", "runtime();");
    const QString exportDir = outside.path() + "/exports";
    ASSERT_TRUE(QDir().mkpath(exportDir));

    // Two versions of the program, told apart in both files.
    const char *const versions[] = {"first", "second"};
    ExportRequest requests[2];
    for (int v = 0; v < 2; ++v) {
        const QString page = workspace.path() + QStringLiteral("/page-%1.html").arg(versions[v]);
        writeBinaryFile(page, QByteArray("<html>") + versions[v] + "</html>\r\n");
        PageParts parts;
        parts.templateLines = {"<html><script>##user##</script></html>"};
        parts.code.code = QStringLiteral("version('%1');\n").arg(versions[v]);
        parts.appName = "cat";
        requests[v] = {"cat", page, {"audio/tune.ogg", "js/quillfunc.js"}, paths.baseDir, exportDir, QString(), parts};
    }
    const auto versionOfPair = [&]() -> int {
        const QByteArray page = readBytes(exportDir + "/cat.html");
        const QByteArray inArchive = member(exportDir + "/cat.zip", "cat.html");
        for (int v = 0; v < 2; ++v)
            if (page.contains(QByteArray("version('") + versions[v]) && inArchive.contains(versions[v]))
                return v;
        return -1;
    };

    std::chrono::microseconds round{0};
    for (int trial = 0; trial < 2; ++trial) {
        const auto start = std::chrono::steady_clock::now();
        exportProgram(requests[0]);
        exportProgram(requests[1]);
        round = std::max(round, std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start));
    }
    ASSERT_EQ(versionOfPair(), 1);

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delayUs(0, 2 * round.count());
    constexpr int Kills = 40;
    int seen[2] = {0, 0};
    for (int kill = 0; kill < Kills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int turn = 0;; turn ^= 1) {
                try {
                    exportProgram(requests[turn]);
                } catch (...) {
                    ::_exit(3);
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the exporting process ended by itself: " << status;

        // As the next Export and the next start do.
        EXPECT_EQ(settleExports(exportDir), QStringList()) << "kill " << kill;
        EXPECT_EQ(QDir(exportDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                  QStringList({"cat.html", "cat.zip"}))
            << "kill " << kill;
        const int which = versionOfPair();
        ASSERT_NE(which, -1) << "kill " << kill << ": the archive and the page are of different exports";
        ++seen[which];
    }
    // The kills fell on exports of both versions: the loop was exporting.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}

} // namespace
