// Export: the archive read back with the system's own zip tools (zipinfo,
// unzip), so names, order and compression are what any reader sees.
#include "builder/exportprogram.h"
#include "builder/exportstaging.h"

#include "base/messagesink.h"
#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "app/installer.h"
#include "builder/pagegenerator.h"
#include "builder/ziparchive.h"
#include "tests/support/fulldisk.h"
#include "tests/builder/qtprint.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quill;

namespace {

class RecordedMessages : public MessageSink {
public:
    void showMessage(const QString &text) override { shown.append(text); }
    QStringList shown;
};

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("<%1 did not finish>").arg(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Names in archive order, as zipinfo lists them.
QStringList entryNames(const QString &archive)
{
    return run("zipinfo", {"-1", archive}).split('\n', Qt::SkipEmptyParts);
}

// The compression method of every entry ("defN", "defX", "stor" ...).
QStringList entryMethods(const QString &archive)
{
    QStringList methods;
    for (const QString &line : run("zipinfo", {"-s", archive}).split('\n')) {
        const QStringList fields = line.simplified().split(' ');
        if (fields.size() >= 9 && (line.startsWith('-') || line.startsWith('?')))
            methods.append(fields[5]);
    }
    return methods;
}

QByteArray member(const QString &archive, const QString &name)
{
    QProcess process;
    process.start("unzip", {"-p", archive, name});
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything in a folder, hidden entries and folders included.
QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Bytes that do not compress: deflate may not win on them.
QByteArray noise(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// The page the fixture's single pages are filled from: the page itself is
// only read for the archive.
const QStringList PageTemplate = {"<html><head><title>##appname##</title>",
                                  "<script src=\"js/stage.web.min.js\"></script>",
                                  "<script src=\"js/quillfunc.js\"></script>",
                                  "<script>##user##</script></head></html>"};

class ExportTest : public ::testing::Test {
protected:
    ExportTest()
    {
        paths = WorkspacePaths::fromBaseDir(workspace.path() + "/");
        for (const QString &dir : {paths.scriptDir, paths.imageDir, paths.audioDir})
            QDir().mkpath(dir);
        writeBinaryFile(paths.pagePath, "<html>page</html>\r\n");
        writeBinaryFile(paths.imageDir + "cat.png", noise(3000));
        writeBinaryFile(paths.imageDir + "ball.png", "ball image");
        writeBinaryFile(paths.audioDir + "catbgm.ogg", noise(100));
        writeBinaryFile(paths.scriptDir + "quillfunc.js", QByteArray(5000, 'q'));
        writeBinaryFile(paths.scriptDir + "stage.web.min.js", "stage();");
        exportDir = outside.path() + "/exports";
        QDir().mkpath(exportDir);
    }

    ExportRequest request(const QString &name, const QStringList &resources) const
    {
        PageParts parts;
        parts.templateLines = PageTemplate;
        parts.code.code = "init();\n";
        parts.appName = name;
        return {name, paths.pagePath, resources, paths.baseDir, exportDir, documents.path(), parts};
    }
    QStringList filesInExportDir() const
    {
        return QDir(exportDir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QTemporaryDir workspace;
    QTemporaryDir outside;
    QTemporaryDir documents;
    WorkspacePaths paths;
    QString exportDir;
};

const QStringList CatResources = {"img/cat.png", "img/ball.png", "audio/catbgm.ogg",
                                  "js/quillfunc.js", "js/stage.web.min.js"};

TEST_F(ExportTest, PageFirstThenResourcesInListOrderEveryOneDeflated)
{
    const QString archive = exportProgram(request("cat", CatResources)).archive;

    EXPECT_EQ(archive, exportDir + "/cat.zip");
    EXPECT_EQ(entryNames(archive), QStringList({"cat.html", "img/cat.png", "img/ball.png",
                                                "audio/catbgm.ogg", "js/quillfunc.js",
                                                "js/stage.web.min.js"}));
    const QStringList methods = entryMethods(archive);
    ASSERT_EQ(methods.size(), 6) << run("zipinfo", {"-s", archive}).toStdString();
    for (const QString &method : methods)
        EXPECT_TRUE(method.startsWith("def")) << method.toStdString();
    EXPECT_TRUE(run("unzip", {"-t", archive}).contains("No errors detected"));
    EXPECT_EQ(member(archive, "cat.html"), readBytes(paths.pagePath));
    EXPECT_EQ(member(archive, "img/cat.png"), readBytes(paths.imageDir + "cat.png"));
    EXPECT_EQ(member(archive, "js/quillfunc.js"), QByteArray(5000, 'q'));
    EXPECT_EQ(filesInExportDir(), QStringList({"cat.html", "cat.zip"}));
}

// The archive is what it was before the page was written beside it: the
// generated page and the resources, read with their times, packed by the
// same writer, and not one byte more.
TEST_F(ExportTest, TheArchiveIsUnchangedByThePageBesideIt)
{
    const QStringList resources = {"img/cat.png", "img/ball.png", "img/cat.png", "audio/catbgm.ogg",
                                   "js/quillfunc.js", "js/stage.web.min.js"};
    const ExportedFiles files = exportProgram(request("cat", resources));

    std::vector<ArchiveMember> members;
    for (const ExportEntry &entry : exportEntries("cat", paths.pagePath, resources, paths.baseDir))
        members.push_back({entry.name, entry.sourcePath, entry.name});
    QTemporaryDir alone;
    writeZipArchive(alone.path() + "/cat.zip", members);
    EXPECT_EQ(readBytes(files.archive), readBytes(alone.path() + "/cat.zip"));
    EXPECT_EQ(files.page, exportDir + "/cat.html");
    const QByteArray page = readBytes(files.page);
    EXPECT_TRUE(page.startsWith("<html><head><title>cat</title>\r\n<script>\nvar _quillpage="));
    EXPECT_TRUE(page.contains("<script>stage();</script>"));
    EXPECT_TRUE(page.contains("\"img/cat.png\":\"data:image/png;base64,"
                              + readBytes(paths.imageDir + "cat.png").toBase64() + '"'));
    EXPECT_TRUE(page.endsWith("<script>init();\r\n</script></head></html>\r\n"));
}

struct EntriesCase {
    const char *name;
    QStringList resources;
    QStringList entries;
};

TEST(ExportEntries, EachNameOnceAtItsFirstListing)
{
    const std::vector<EntriesCase> cases = {
        {"no resources", {}, {"p.html"}},
        {"distinct kept in order", {"img/a.png", "audio/s.ogg", "js/x.js"},
         {"p.html", "img/a.png", "audio/s.ogg", "js/x.js"}},
        {"same image in two sprite lines", {"img/a.png", "img/b.png", "img/a.png", "js/x.js"},
         {"p.html", "img/a.png", "img/b.png", "js/x.js"}},
        {"names differing in case are distinct", {"img/a.png", "img/A.png"},
         {"p.html", "img/a.png", "img/A.png"}},
    };
    for (const EntriesCase &c : cases) {
        QStringList names;
        for (const ExportEntry &entry : exportEntries("p", "/w/temp.html", c.resources, "/w/"))
            names.append(entry.name);
        EXPECT_EQ(names, c.entries) << c.name;
    }
    const std::vector<ExportEntry> entries =
        exportEntries("p", "/w/temp.html", {"img/a.png"}, "/w/");
    EXPECT_EQ(entries[0], (ExportEntry{"p.html", "/w/temp.html"}));
    EXPECT_EQ(entries[1], (ExportEntry{"img/a.png", "/w/img/a.png"}));
}

TEST_F(ExportTest, AnImageNamedTwiceIsStoredOnceAndUnpacksWithoutAQuestion)
{
    const QString archive = exportProgram(
        request("twice", {"img/cat.png", "img/ball.png", "img/cat.png", "js/quillfunc.js"})).archive;

    EXPECT_EQ(entryNames(archive),
              QStringList({"twice.html", "img/cat.png", "img/ball.png", "js/quillfunc.js"}));
    // unzip without -o would stop and ask on a second member of one name;
    // with stdin closed it must still unpack everything.
    QTemporaryDir unpacked;
    QProcess unzip;
    unzip.setStandardInputFile(QProcess::nullDevice());
    unzip.start("unzip", {archive, "-d", unpacked.path()});
    ASSERT_TRUE(unzip.waitForFinished(30000));
    EXPECT_EQ(unzip.exitCode(), 0) << unzip.readAllStandardOutput().toStdString();
    EXPECT_EQ(readBytes(unpacked.path() + "/img/cat.png"), readBytes(paths.imageDir + "cat.png"));
}

struct NameCase {
    const char *name;
    QString entry;
    bool refused;
};

TEST(EntryNameProblem, RefusesNamesThatLeaveTheirFolder)
{
    const std::vector<NameCase> cases = {
        {"plain image", "img/cat.png", false},
        {"script", "js/quillfunc.js", false},
        {"dots inside a name", "img/..cat..png", false},
        {"name not in English", "img/gato\u00f1o.png", false},
        {"climbs out of img", "img/../x.png", true},
        {"climbs twice", "img/../../etc/passwd.png", true},
        {"starts by climbing", "../x.png", true},
        {"ends by climbing", "img/..", true},
        {"absolute", "/etc/passwd", true},
        {"backslash", "img\\x.png", true},
        {"backslash climbing", "img/..\\..\\x.png", true},
        {"NUL cuts the path", QString("img/a") + QChar(0) + ".png", true},
        {"line break", "img/two\nlines.png", true},
        {"tab", "audio/a\tb.ogg", true},
        {"lone surrogate", QString("img/x") + QChar(0xD800) + ".png", true},
        {"empty", "", true},
    };
    for (const NameCase &c : cases) {
        const std::optional<QString> problem = entryNameProblem(c.entry);
        EXPECT_EQ(problem.has_value(), c.refused) << c.name;
        if (problem) {
            EXPECT_TRUE(problem->startsWith("Invalid file name")) << c.name;
            EXPECT_TRUE(problem->endsWith('.')) << c.name;
        }
    }
}

TEST_F(ExportTest, RefusedNamesWriteNothingAndKeepTheEarlierFiles)
{
    const ExportedFiles files = exportProgram(request("cat", CatResources));
    const QString archive = files.archive;
    const QByteArray earlier = readBytes(archive);
    const QByteArray earlierPage = readBytes(files.page);

    struct Case {
        const char *name;
        QString program;
        QStringList resources;
        QString message;
    };
    const std::vector<Case> cases = {
        {"empty program name", "", CatResources, "Input file name."},
        {"program name climbing", "..", CatResources, "Invalid file name."},
        {"program name with a folder", "../cat", CatResources, "Invalid file name."},
        {"program name with a backslash", "a\\cat", CatResources, "Invalid file name."},
        {"program name with a line break", "two\nlines", CatResources, "Invalid file name."},
        {"program name too long for its archive", QString(252, u'c'), CatResources, "File name too long."},
        {"sprite named '../x'", "cat", {"img/cat.png", "img/../x.png"},
         "Invalid file name img/../x.png."},
        {"absolute sound", "cat", {"/etc/passwd"}, "Invalid file name /etc/passwd."},
    };
    for (const Case &c : cases) {
        try {
            exportProgram(request(c.program, c.resources));
            ADD_FAILURE() << c.name << ": exported";
        } catch (const QuillError &error) {
            EXPECT_EQ(error.message(), c.message) << c.name;
        }
        EXPECT_EQ(filesInExportDir(), QStringList({"cat.html", "cat.zip"})) << c.name;
        EXPECT_EQ(readBytes(archive), earlier) << c.name;
        EXPECT_EQ(readBytes(files.page), earlierPage) << c.name;
    }
}

TEST_F(ExportTest, AResourceThatCannotBeReadWritesNeitherFile)
{
    const ExportedFiles files = exportProgram(request("cat", CatResources));
    const QByteArray earlier = readBytes(files.archive);
    const QByteArray earlierPage = readBytes(files.page);

    struct Case {
        const char *name;
        QString program;
        QStringList resources;
    };
    const std::vector<Case> cases = {
        {"an image never saved, earlier files kept", "cat",
         {"img/cat.png", "img/never-saved.png", "js/quillfunc.js"}},
        {"a sound never placed, no files made", "dog", {"audio/never-saved.ogg", "js/quillfunc.js"}},
        {"a script gone", "dog", {"img/cat.png", "js/gone.js"}},
    };
    for (const Case &c : cases) {
        try {
            exportProgram(request(c.program, c.resources));
            ADD_FAILURE() << c.name << ": exported";
        } catch (const QuillError &error) {
            EXPECT_TRUE(error.message().startsWith("Cannot open file \"" + paths.baseDir))
                << c.name << ": " << error.what();
            EXPECT_TRUE(error.message().contains("No such file")) << c.name << ": " << error.what();
        }
        EXPECT_EQ(readBytes(files.archive), earlier) << c.name;
        EXPECT_EQ(readBytes(files.page), earlierPage) << c.name;
        EXPECT_EQ(filesInExportDir(), QStringList({"cat.html", "cat.zip"})) << c.name;
    }
}

// Runs an export step on another thread and gives it 5 seconds; a step
// waiting on the FIFO is freed by a writer opening its other end, so that a
// failing test still ends.
QString outcomeOf(const std::function<void()> &step, const QString &fifo)
{
    auto outcome = std::async(std::launch::async, [&]() -> QString {
        try {
            step();
            return "written";
        } catch (const QuillError &error) {
            return error.message();
        }
    });
    if (outcome.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        outcome.wait();
        return "blocked for more than 5 seconds";
    }
    return outcome.get();
}

struct SpecialResourceCase {
    const char *name;
    QString resource;
    QString message;
};

// In the workspace's img/: a FIFO, a link to the zero device and a sparse
// file of 3 GB, and what Export says of each.
std::vector<SpecialResourceCase> makeSpecialResources(const WorkspacePaths &paths)
{
    EXPECT_EQ(::mkfifo(QFile::encodeName(paths.imageDir + "fifo.png").constData(), 0600), 0);
    EXPECT_TRUE(QFile::link("/dev/zero", paths.imageDir + "zero.png"));
    QFile sparse(paths.imageDir + "huge.png");
    EXPECT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64(3) << 30));
    return {
        {"a FIFO", "img/fifo.png", "Failed to open img/fifo.png."},
        {"a link to a device", "img/zero.png", "Failed to open img/zero.png."},
        {"a sparse file of 3 GB", "img/huge.png", "Too large: img/huge.png."},
    };
}

// A resource that is no regular file never hangs Export, and one too large
// for any page is refused by its size without being read.
TEST_F(ExportTest, ResourcesThatAreNoPlainFilesOrTooLargeAreRefusedByName)
{
    const QString archive = exportProgram(request("cat", CatResources)).archive;
    const QByteArray earlier = readBytes(archive);
    for (const SpecialResourceCase &c : makeSpecialResources(paths)) {
        SCOPED_TRACE(c.name);
        const QString outcome = outcomeOf(
            [&] { exportProgram(request("cat", {"img/cat.png", c.resource, "js/quillfunc.js"})); },
            paths.imageDir + "fifo.png");
        EXPECT_EQ(outcome, c.message);
        EXPECT_EQ(readBytes(archive), earlier);
        EXPECT_EQ(filesInExportDir(), QStringList({"cat.html", "cat.zip"}));
    }
}

// Such a resource is refused before anything is read or made: behind a
// large sound, nothing at all appears in the export folder meanwhile.
TEST_F(ExportTest, AResourceThatIsNoPlainFileIsRefusedBeforeAnythingIsWritten)
{
    exportProgram(request("cat", CatResources));
    QFile sound(paths.audioDir + "long.ogg");
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly) && sound.resize(qint64(200) << 20));
    sound.close();
    for (const SpecialResourceCase &c : makeSpecialResources(paths)) {
        SCOPED_TRACE(c.name);
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(exportDir).constData(), IN_CREATE | IN_MODIFY), 0);
        const QString outcome = outcomeOf(
            [&] { exportProgram(request("cat", {"audio/long.ogg", c.resource})); }, paths.imageDir + "fifo.png");
        EXPECT_EQ(outcome, c.message);
        char events[4096];
        EXPECT_LE(::read(watch, events, sizeof events), 0) << "the export folder changed";
        ::close(watch);
    }
}

// The self-contained page reads every resource again on its own: through
// the same reader, with the same limit, so a FIFO, a device or a file too
// large stops it by name and no page is put in place.
TEST_F(ExportTest, TheSelfContainedPageReadsItsResourcesThroughTheSameReader)
{
    std::vector<SpecialResourceCase> cases = makeSpecialResources(paths);
    cases.push_back({"a plain picture", "img/ball.png", "written"});
    for (const SpecialResourceCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QString outcome = outcomeOf(
            [&] {
                PendingFile page(exportDir + "/cat.html");
                writeSinglePageTo(request("cat", {"img/cat.png", c.resource, "js/quillfunc.js"}), page);
                page.commit();
            },
            paths.imageDir + "fifo.png");
        EXPECT_EQ(outcome, c.message);
        EXPECT_EQ(filesInExportDir(), outcome == "written" ? QStringList{"cat.html"} : QStringList{});
        QFile::remove(exportDir + "/cat.html");
    }
}

// Resources are streamed into the archive: a 100 MB one never sits in
// memory whole, nor does the archive. (The self-contained page beside it
// carries each resource as text, one at a time.)
TEST_F(ExportTest, LargeResourcesAreStreamedNotHeld)
{
    QFile big(paths.audioDir + "long.ogg");
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    const QByteArray block(1 << 20, 'a');
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(big.write(block), block.size());
    big.close();
    rusage before{};
    getrusage(RUSAGE_SELF, &before);

    const QString archive = exportDir + "/cat.zip";
    packArchive(request("cat", {"audio/long.ogg", "js/quillfunc.js"}), archive);

    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    const long grownKiB = after.ru_maxrss - before.ru_maxrss;
    EXPECT_LT(grownKiB, 40 * 1024) << "the peak grew by " << grownKiB << " KiB";
    EXPECT_EQ(entryNames(archive), QStringList({"cat.html", "audio/long.ogg", "js/quillfunc.js"}));
    EXPECT_TRUE(run("unzip", {"-t", archive}).contains("No errors detected"));
}

TEST_F(ExportTest, AnExistingArchiveIsReplaced)
{
    exportProgram(request("cat", CatResources));
    const QString archive = exportProgram(request("cat", {"js/quillfunc.js"})).archive;

    EXPECT_EQ(entryNames(archive), QStringList({"cat.html", "js/quillfunc.js"}));
    EXPECT_FALSE(readBytes(exportDir + "/cat.html").contains("data:image/png"));
    EXPECT_EQ(filesInExportDir(), QStringList({"cat.html", "cat.zip"}));
}

TEST_F(ExportTest, TheDefaultDocumentsFolderIsMadeWhenMissing)
{
    const QString missingDocuments = outside.path() + "/home/Documents";
    ExportRequest wanted = request("cat", CatResources);
    wanted.exportDir = missingDocuments;
    wanted.documentsDir = missingDocuments;

    EXPECT_EQ(exportProgram(wanted).archive, missingDocuments + "/cat.zip");
    EXPECT_EQ(entryNames(missingDocuments + "/cat.zip").size(), 6);

    // The same folder written with a final "/" is still the default.
    QDir(missingDocuments).removeRecursively();
    wanted.exportDir = missingDocuments + "/";
    EXPECT_NO_THROW(exportProgram(wanted));
    EXPECT_TRUE(QFile::exists(missingDocuments + "/cat.zip"));
}

TEST_F(ExportTest, AnyOtherMissingFolderIsReportedAndNotMade)
{
    ExportRequest wanted = request("cat", CatResources);
    wanted.exportDir = outside.path() + "/typo";

    try {
        exportProgram(wanted);
        FAIL() << "exported into a missing folder";
    } catch (const QuillError &error) {
        EXPECT_EQ(error.message(), "Cannot create file \"" + wanted.exportDir
                                       + "/cat.zip\". No such file or directory");
    }
    EXPECT_FALSE(QFileInfo::exists(wanted.exportDir));
}

TEST_F(ExportTest, AFullDiskKeepsTheEarlierFilesWholeAndLeavesNoPart)
{
    testsupport::FullDisk disk(exportDir);
    ASSERT_TRUE(disk.mounted()) << disk.error();
    writeBinaryFile(paths.scriptDir + "quillfunc.js", QByteArray(100, 'q'));
    const ExportedFiles files = exportProgram(request("cat", {"js/quillfunc.js"}));
    const QByteArray earlier = readBytes(files.archive);
    const QByteArray earlierPage = readBytes(files.page);
    ASSERT_TRUE(disk.fill());

    EXPECT_THROW(exportProgram(request("cat", CatResources)), QuillError);
    EXPECT_EQ(readBytes(files.archive), earlier);
    EXPECT_EQ(readBytes(files.page), earlierPage);
    EXPECT_EQ(entriesOf(exportDir), QStringList({"cat.html", "cat.zip", "filler"}));
}

// What a kill of an export leaves, of this release and of earlier ones, goes
// at the next Export: only the files of its own temporary pattern, never
// what merely looks like them, and never through a link.
TEST_F(ExportTest, LeftoversOfExportsCutShortGoAtTheNextExportAndNothingElse)
{
    writeBinaryFile(exportDir + "/.quill-export-Ab12Cd", QByteArray());
    writeBinaryFile(exportDir + "/.quill-export-Ab12Cd.Xy34Zw", noise(1 << 20));
    const QString staged = exportDir + "/.quill-export-Qq11Ww/";
    QDir().mkpath(staged);
    writeBinaryFile(staged + "name", "cat");
    writeBinaryFile(staged + "archive.zip.Tt55Yy", noise(1 << 20));
    const QStringList others = {".notes", "quill-export-keep.txt", ".quill-exporter", ".quill-export-link"};
    for (const QString &name : others.mid(0, 3))
        writeBinaryFile(exportDir + "/" + name, "the user's");
    QTemporaryDir elsewhere;
    writeBinaryFile(elsewhere.path() + "/kept.txt", "kept");
    ASSERT_TRUE(QFile::link(elsewhere.path(), exportDir + "/.quill-export-link"));

    exportProgram(request("cat", CatResources));
    QStringList expected = others + QStringList{"cat.html", "cat.zip"};
    expected.sort();
    QStringList left = entriesOf(exportDir);
    left.sort();
    EXPECT_EQ(left, expected);
    EXPECT_EQ(readBytes(exportDir + "/.notes"), "the user's");
    EXPECT_EQ(readBytes(elsewhere.path() + "/kept.txt"), "kept");
}

// A kill between the two files' moves left the new archive beside the old
// page; the next Export (or start) finds the new page staged and puts it in
// place, so the two match again.
TEST_F(ExportTest, APairCutShortBetweenItsFilesIsFinishedAtTheNextSettling)
{
    ExportRequest first = request("cat", CatResources);
    first.parts.code.code = "init('first');\n";
    writeBinaryFile(paths.pagePath, "<html>first</html>\r\n");
    const ExportedFiles files = exportProgram(first);

    ExportRequest second = request("cat", CatResources);
    second.parts.code.code = "init('second');\n";
    writeBinaryFile(paths.pagePath, "<html>second</html>\r\n");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The export's steps up to its first move, then the end of the process.
        ExportStaging staging(exportDir, "cat");
        packArchive(second, staging.archivePath());
        PendingFile page(staging.pagePath());
        writeSinglePageTo(second, page);
        page.commit();
        const bool moved = std::rename(QFile::encodeName(staging.archivePath()).constData(),
                                       QFile::encodeName(files.archive).constData()) == 0;
        ::_exit(moved ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(member(files.archive, "cat.html"), "<html>second</html>\r\n");
    ASSERT_TRUE(readBytes(files.page).contains("first"));

    EXPECT_EQ(settleExports(exportDir), QStringList());
    EXPECT_TRUE(readBytes(files.page).contains("init('second')"));
    EXPECT_EQ(member(files.archive, "cat.html"), "<html>second</html>\r\n");
    EXPECT_EQ(entriesOf(exportDir), QStringList({"cat.html", "cat.zip"}));
}

// An export that runs now keeps its staging folder, whoever settles.
TEST_F(ExportTest, SettlingLeavesAnExportThatRunsAlone)
{
    ExportStaging running(exportDir, "cat");
    writeBinaryFile(running.archivePath(), "half an archive");
    EXPECT_EQ(settleExports(exportDir), QStringList());
    EXPECT_EQ(readBytes(running.archivePath()), "half an archive");
}

// A folder where either file goes stops the export before either file
// moves: the old pair stays a pair, and nothing is left behind.
TEST_F(ExportTest, AFolderInTheWayOfEitherFileMovesNeither)
{
    const ExportedFiles files = exportProgram(request("cat", CatResources));
    for (const QString &blocked : {files.page, files.archive}) {
        SCOPED_TRACE(blocked.toStdString());
        const QString other = blocked == files.page ? files.archive : files.page;
        const QByteArray otherBytes = readBytes(other);
        ASSERT_TRUE(QFile::remove(blocked));
        ASSERT_TRUE(QDir().mkpath(blocked));
        ExportRequest changed = request("cat", {"img/ball.png"});
        try {
            exportProgram(changed);
            ADD_FAILURE() << "exported over a folder";
        } catch (const QuillError &error) {
            EXPECT_EQ(error.message(), "Cannot write file \"" + blocked + "\". It is a folder.");
        }
        EXPECT_EQ(readBytes(other), otherBytes);
        EXPECT_EQ(entriesOf(exportDir), QStringList({"cat.html", "cat.zip"}));
        ASSERT_TRUE(QDir(blocked).removeRecursively());
        exportProgram(request("cat", CatResources));
    }
}

// The supplied samples, generated from an installed workspace as Export does.
class SampleExportTest : public ::testing::Test {
protected:
    SampleExportTest()
    {
        paths = WorkspacePaths::fromBaseDir(workspace.path() + "/");
        SettingsStore settings;
        QStringList keywords;
        installWorkspace(paths, settings, keywords, 384, documents.path());
    }
    QString exportSample(const QString &sample, const QString &name)
    {
        const QStringList code = readTextFile(paths.codeDir + sample).lines;
        const GeneratedPage page = generatePage(code, name, paths, messages);
        EXPECT_TRUE(page.written);
        return exportProgram({name, paths.pagePath, page.resources, paths.baseDir, documents.path(),
                              documents.path(), page.parts})
            .archive;
    }
    QTemporaryDir workspace;
    QTemporaryDir documents;
    WorkspacePaths paths;
    RecordedMessages messages;
};

TEST_F(SampleExportTest, TheCatSampleGivesItsNineEntries)
{
    const QString archive = exportSample("cat_sample", "cat");
    EXPECT_EQ(entryNames(archive),
              QStringList({"cat.html", "img/cat.png", "img/ball.png", "audio/catbgm.ogg",
                           "js/js-sprintf-1.0.1.min.js", "js/soundjs.min.js", "img/fnt18.png",
                           "js/quillfunc.js", "js/stage.web.min.js"}));
    for (const QString &method : entryMethods(archive))
        EXPECT_TRUE(method.startsWith("def")) << method.toStdString();
    EXPECT_EQ(member(archive, "cat.html"), readBytes(paths.pagePath));
    EXPECT_TRUE(messages.shown.isEmpty());
}

// The page carries everything the archive does: its size is measured
// against the archive's entries before compression.
TEST_F(SampleExportTest, ThePageIsAtMostOnePointFourTimesTheEntries)
{
    for (const auto &[sample, name] : {std::pair<QString, QString>("cat_sample", "cat"),
                                       std::pair<QString, QString>("3d_sample", "cube")}) {
        const QString archive = exportSample(sample, name);
        qint64 entries = 0;
        for (const QString &line : run("zipinfo", {"-t", archive}).split('\n'))
            if (line.contains(" bytes uncompressed"))
                entries = line.section(',', 1, 1).trimmed().section(' ', 0, 0).toLongLong();
        ASSERT_GT(entries, 0) << run("zipinfo", {"-t", archive}).toStdString();
        const qint64 page = QFileInfo(documents.path() + "/" + name + ".html").size();
        EXPECT_LE(double(page), 1.4 * double(entries)) << sample.toStdString() << ": " << page
                                                        << " against " << entries;
    }
}

TEST_F(SampleExportTest, TheThreeDSampleEndsWithTheRuntimeAndThreeJs)
{
    const QStringList names = entryNames(exportSample("3d_sample", "cube"));
    ASSERT_GE(names.size(), 3);
    EXPECT_EQ(names.first(), "cube.html");
    EXPECT_EQ(names.mid(names.size() - 2), QStringList({"js/quillfunc.js", "js/three.min.js"}));
}

} // namespace

namespace {

// Export as the button does it, from the code being edited.
class ExportCodeTest : public SampleExportTest {
protected:
    ExportCodeTest()
    {
        writeBinaryFile(paths.pagePath, "previous page");
        exportDir = documents.path() + "/exports";
        QDir().mkpath(exportDir);
    }
    QStringList archives() const { return QDir(exportDir).entryList(QDir::Files); }
    QString exportDir;
};

TEST_F(ExportCodeTest, CompletedAfterTheArchiveAndNoSaveOfTheCode)
{
    exportCode({"function init(){}", "print(1);"}, "tiny", paths, exportDir, documents.path(),
               messages);
    EXPECT_EQ(messages.shown, QStringList({"Completed.\n" + exportDir + "/tiny.zip\n" + exportDir
                                           + "/tiny.html"}));
    EXPECT_EQ(archives(), QStringList({"tiny.html", "tiny.zip"}));
    EXPECT_EQ(entryNames(exportDir + "/tiny.zip"),
              QStringList({"tiny.html", "img/fnt18.png", "js/quillfunc.js", "js/stage.web.min.js"}));
    EXPECT_FALSE(QFile::exists(paths.codeDir + "tiny"));
}

TEST_F(ExportCodeTest, ABadNameIsToldBeforeAnythingIsGenerated)
{
    for (const QString &name : {QString(), QString("../up")}) {
        messages.shown.clear();
        exportCode({"function init(){}"}, name, paths, exportDir, documents.path(), messages);
        EXPECT_EQ(messages.shown,
                  QStringList({name.isEmpty() ? "Input file name." : "Invalid file name."}));
        EXPECT_EQ(readBytes(paths.pagePath), "previous page");
        EXPECT_TRUE(archives().isEmpty());
    }
}

TEST_F(ExportCodeTest, AMissingIncludeIsTheOnlyMessage)
{
    exportCode({"include nothing"}, "cat", paths, exportDir, documents.path(), messages);
    EXPECT_EQ(messages.shown, QStringList({"Failed to open nothing"}));
    EXPECT_TRUE(archives().isEmpty());
}

TEST_F(ExportCodeTest, ASpriteNameLeavingImgIsRefusedWithoutCompleted)
{
    try {
        exportCode({"sprite(1,'../x',1);"}, "cat", paths, exportDir, documents.path(), messages);
        FAIL() << "exported";
    } catch (const QuillError &error) {
        // Refused by the page generator, with the reason, before anything is written.
        EXPECT_EQ(error.message(), "Cannot use the name \"../x\" (it leads out of the img folder) in: sprite(1,'../x',1);");
    }
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(archives().isEmpty());
}

} // namespace
