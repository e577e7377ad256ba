#include "base/settingstable.h"
#include "app/installer.h"
#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "base/textfile.h"
#include "app/starterfiles.h"
#include "base/workspace.h"
#include "tests/support/fulldisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace quill {
namespace {

const QString Documents = QStringLiteral("/home/anna/Documents");

const QStringList TemplateNames = {"back", "circle", "mm_switch", "mm_yure", "setcam", "sin",
                                   "tm_border", "tm_collision", "tm_out", "tm_switch",
                                   "tm_yure", "try_catch"};

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable " + path.toUtf8() + ">");
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Where the source tree keeps a starter file: the asset folders, or the
// engine scripts that the build bundles from node_modules.
QString sourceOf(const StarterFile &file)
{
    const QString asset = QStringLiteral(QUILL_SOURCE_DIR "/assets/%1/%2").arg(file.directory, file.name);
    if (QFileInfo::exists(asset))
        return asset;
    return QStringLiteral(QUILL_BINARY_DIR "/engines/%1").arg(file.name);
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files, QDir::Name);
}

class InstallerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tempDir.isValid());
        paths = WorkspacePaths::fromBaseDir(tempDir.path() + u'/');
    }

    void install(int keyPanelWidth = 384, const QString &documents = Documents)
    {
        installWorkspace(paths, settings, keywords, keyPanelWidth, documents);
    }

    QTemporaryDir tempDir;
    WorkspacePaths paths;
    SettingsStore settings;
    QStringList keywords;
};

TEST_F(InstallerTest, FirstStartBuildsTheTree)
{
    install();
    for (const QString &dir : {paths.codeDir, paths.spriteDir, paths.templateDir,
                               paths.scriptDir, paths.imageDir, paths.audioDir})
        EXPECT_TRUE(QFileInfo(dir).isDir()) << dir.toStdString();
    EXPECT_TRUE(filesIn(paths.spriteDir).isEmpty());
    EXPECT_EQ(filesIn(paths.templateDir), TemplateNames);
    EXPECT_TRUE(filesIn(paths.scriptDir).contains("blank.html"));
    EXPECT_TRUE(QFileInfo::exists(paths.keywordsPath));
    EXPECT_FALSE(QFileInfo::exists(paths.settingsPath)) << "quillide.ini is written at close only";
}

TEST_F(InstallerTest, StarterFilesAreWrittenByteForByte)
{
    install();
    ASSERT_FALSE(starterFiles().empty());
    for (const StarterFile &file : starterFiles()) {
        SCOPED_TRACE((file.directory + u'/' + file.name).toStdString());
        const QByteArray reference = readBytes(sourceOf(file));
        ASSERT_FALSE(reference.startsWith("<unreadable"));
        EXPECT_EQ(starterFileBytes(file), reference);
        EXPECT_EQ(readBytes(paths.baseDir + file.directory + u'/' + file.name), reference);
    }
}

TEST(StarterFiles, TableFollowsTheInstallationOrder)
{
    const QStringList directoryOrder = {"audio", "js", "img", "prgfiles", "tempfiles"};
    QStringList templates;
    int lastRank = 0;
    for (const StarterFile &file : starterFiles()) {
        const int rank = int(directoryOrder.indexOf(file.directory));
        ASSERT_GE(rank, 0) << file.directory.toStdString();
        EXPECT_GE(rank, lastRank) << file.name.toStdString();
        lastRank = rank;
        if (file.directory == QLatin1String("tempfiles"))
            templates.append(file.name);
    }
    EXPECT_EQ(templates, TemplateNames);
}

TEST(StarterFiles, MissingResourceIsAnError)
{
    EXPECT_THROW(starterFileBytes({"tempfiles", "no_such_template"}), QuillError);
}

TEST_F(InstallerTest, SavedSettingsHaveFortyLinesInKeyOrder)
{
    const QStringList keyOrder = {
        "exportdir", "width", "BtnKey11", "BtnKey12", "BtnKey13", "BtnKey14", "BtnKey15",
        "BtnKey16", "BtnKey17", "BtnKey18", "BtnKey21", "BtnKey22", "BtnKey23", "BtnKey24",
        "BtnKey25", "BtnKey26", "BtnKey27", "BtnKey28", "pltMSX", "pltDB16", "pltPICO-8",
        "pltARNE16", "pltEDG16", "pltA64", "pltC64", "pltVIC20", "pltCGA", "pltSLIFE", "pltJMP",
        "pltCGARNE", "pltPSYG", "pltEROGE", "pltEISLAND", "pltBARNES", "pltVV16", "palette",
        "command", "web", "keyheight", "sprite"};
    struct Case {
        const char *name;
        QString documents;
        QStringList keys;
    };
    const std::vector<Case> cases = {
        {"with a documents folder", Documents, keyOrder},
        {"without a documents folder", QString(), keyOrder.mid(1)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir base;
        SettingsStore fresh;
        QStringList freshKeywords;
        installWorkspace(WorkspacePaths::fromBaseDir(base.path() + u'/'), fresh, freshKeywords,
                         384, c.documents);
        const QString ini = base.filePath("quillide.ini");
        fresh.save(ini);

        const QByteArray bytes = readBytes(ini);
        EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
        EXPECT_TRUE(bytes.endsWith("sprite=16\r\n"));
        QList<QByteArray> lines = bytes.split('\n');
        ASSERT_EQ(lines.takeLast(), QByteArray());
        ASSERT_EQ(lines.size(), c.keys.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            ASSERT_TRUE(lines[i].endsWith('\r')) << i;
            EXPECT_EQ(QString::fromUtf8(lines[i].left(lines[i].indexOf('='))), c.keys[i]);
        }
        EXPECT_EQ(fresh.value("command"), "26");
        EXPECT_EQ(fresh.value("keyheight"), "30");
        EXPECT_EQ(fresh.value("exportdir"), c.documents);
    }
}

TEST_F(InstallerTest, KeyHeightFollowsTheKeyPanelAtInstallTime)
{
    struct Case {
        int keyPanelWidth;
        QString keyHeight;
    };
    for (const Case &c : {Case{384, "30"}, Case{1000, "72"}, Case{390, "32"}}) {
        SCOPED_TRACE(c.keyPanelWidth);
        install(c.keyPanelWidth);
        EXPECT_EQ(settings.value("keyheight"), c.keyHeight);
        EXPECT_EQ(settings.value("command"), "26");
    }
}

TEST_F(InstallerTest, AnInstallationKeepsTheUsersOwnVersionsFirst)
{
    install();
    const QString keep = tempDir.path() + "/state/kept/";
    const QString sample = paths.codeDir + "cat_sample";
    const QString sin = paths.templateDir + "sin";
    writeBytes(sample, "my cat game\r\n");
    writeBytes(sin, "my sin\r\n");

    InstallReport report = installWorkspace(paths, settings, keywords, 384, Documents, keep);
    EXPECT_EQ(report.kept, QStringList({"prgfiles/cat_sample", "tempfiles/sin"}));
    EXPECT_TRUE(report.leftAlone.isEmpty());
    EXPECT_EQ(readBytes(keep + "prgfiles/cat_sample"), "my cat game\r\n");
    EXPECT_EQ(readBytes(keep + "tempfiles/sin"), "my sin\r\n");
    EXPECT_EQ(readBytes(sample), starterFileBytes({"prgfiles", "cat_sample"}));
    EXPECT_EQ(keptFilesMessage(report),
              "Your own versions were kept in " + keep + ": prgfiles/cat_sample, tempfiles/sin.");

    // Unchanged starter files are nothing to keep; another version of the
    // same file goes beside the first, and the same one is not kept twice.
    report = installWorkspace(paths, settings, keywords, 384, Documents, keep);
    EXPECT_TRUE(report.kept.isEmpty());
    EXPECT_EQ(keptFilesMessage(report), std::nullopt);
    writeBytes(sample, "my second cat game\r\n");
    installWorkspace(paths, settings, keywords, 384, Documents, keep);
    writeBytes(sample, "my second cat game\r\n");
    report = installWorkspace(paths, settings, keywords, 384, Documents, keep);
    EXPECT_EQ(report.kept, QStringList({"prgfiles/cat_sample"}));
    EXPECT_EQ(readBytes(keep + "prgfiles/cat_sample"), "my cat game\r\n");
    EXPECT_EQ(readBytes(keep + "prgfiles/cat_sample.1"), "my second cat game\r\n");
    EXPECT_FALSE(QFileInfo::exists(keep + "prgfiles/cat_sample.2"));
}

TEST_F(InstallerTest, AVersionThatCannotBeKeptIsLeftInPlace)
{
    install();
    const QString keep = tempDir.path() + "/state/";
    ASSERT_TRUE(QDir().mkpath(keep));
    testsupport::FullDisk disk(keep);
    ASSERT_TRUE(disk.mounted()) << disk.error();
    ASSERT_TRUE(disk.fill());
    writeBytes(paths.codeDir + "3d_sample", "mine\r\n");

    writeBytes(paths.keywordsPath, "abs(\r\nmykeyword(\r\n");

    const InstallReport report = installWorkspace(paths, settings, keywords, 384, Documents, keep);
    EXPECT_TRUE(report.kept.isEmpty());
    EXPECT_EQ(report.leftAlone, QStringList({"prgfiles/3d_sample", "keywords.ini"}));
    EXPECT_EQ(readBytes(paths.codeDir + "3d_sample"), "mine\r\n");
    EXPECT_EQ(readBytes(paths.keywordsPath), "abs(\r\nmykeyword(\r\n");
    EXPECT_EQ(keywords, QStringList({"abs(", "mykeyword("})) << "the list left in place stays in use";
    EXPECT_EQ(keptFilesMessage(report), "Your own versions could not be kept and were left as they were: "
                                        "prgfiles/3d_sample, keywords.ini.");
}

// The keyword list is updated as the starter files are: the user's own list
// is kept first, the new one offers the new functions, and an unchanged list
// is nothing to keep.
TEST_F(InstallerTest, AnInstallationKeepsTheUsersOwnKeywordListFirst)
{
    install();
    const QString keep = tempDir.path() + "/state/kept/";
    InstallReport report = installWorkspace(paths, settings, keywords, 384, Documents, keep);
    EXPECT_TRUE(report.kept.isEmpty());

    QByteArray mine = readBytes(paths.keywordsPath);
    mine.replace("abs(\r\n", "").append("mykeyword(\r\n");
    writeBytes(paths.keywordsPath, mine);
    report = installWorkspace(paths, settings, keywords, 384, Documents, keep);
    EXPECT_EQ(report.kept, QStringList({"keywords.ini"}));
    EXPECT_EQ(readBytes(keep + "keywords.ini"), mine);
    EXPECT_EQ(keywords, defaultKeywords());
    EXPECT_EQ(readTextFile(paths.keywordsPath).lines, defaultKeywords());
    for (const char *word : {"key(", "keydown(", "keyup(", "mousemove(", "pad("})
        EXPECT_TRUE(keywords.contains(QLatin1String(word))) << word;
    EXPECT_EQ(keptFilesMessage(report), "Your own versions were kept in " + keep + ": keywords.ini.");
}

TEST(DefaultKeywords, SeventySixSortedEntriesFourWithTrailingSpace)
{
    const QStringList words = defaultKeywords();
    ASSERT_EQ(words.size(), 76);
    EXPECT_EQ(words.first(), "abs(");
    EXPECT_EQ(words[34], "new Array()");
    EXPECT_EQ(words.last(), "while(");
    // Ascending by character code, no repeats: a dropped or mistyped entry shows here.
    EXPECT_TRUE(std::is_sorted(words.begin(), words.end()));
    EXPECT_EQ(std::adjacent_find(words.begin(), words.end()), words.end());

    QStringList trailing;
    for (const QString &word : words) {
        if (word.endsWith(u' '))
            trailing.append(word);
        EXPECT_FALSE(word.startsWith(u' ')) << word.toStdString();
    }
    EXPECT_EQ(trailing, QStringList({"case ", "function ", "include ", "var "}));
}

TEST_F(InstallerTest, KeywordFileBytesAreExact)
{
    keywords = QStringList({"stale"});
    install();
    EXPECT_EQ(keywords, defaultKeywords());

    const QByteArray bytes = readBytes(paths.keywordsPath);
    EXPECT_TRUE(bytes.startsWith("abs(\r\nalert(\r\nasc(\r\natan2(\r\nbgbegin();\r\n"));
    EXPECT_TRUE(bytes.endsWith("upper(\r\nvar \r\nwhile(\r\n"));
    for (const char *entry : {"\r\ncase \r\nchkm(\r\n", "\r\nfunction \r\nif(\r\ninclude \r\nint(\r\n",
                              "\r\nlen(\r\nlength\r\n", "\r\nnew Array()\r\n",
                              "\r\nsetmTorus(\r\nsetmTorusKnot(\r\n"})
        EXPECT_TRUE(bytes.contains(entry)) << entry;
    EXPECT_EQ(bytes.count("\r\n"), 76);
    EXPECT_EQ(bytes.count('\n'), 76);
    EXPECT_EQ(bytes.count('\r'), 76);

    QByteArray expected;
    for (const QString &word : defaultKeywords())
        expected += word.toUtf8() + "\r\n";
    EXPECT_EQ(bytes, expected);
}

TEST_F(InstallerTest, ReinstallRestoresStarterFilesAndDefaultsButKeepsTheUsersOwn)
{
    install(384);
    settings.setValue("width", "40");
    settings.setValue("pltMINE", "ffffff000000ffffff000000ffffff000000ffffff000000ffffff000000ffffff000000ffffff000000ffffff000000");
    settings.setValue("web", "");
    settings.setValue("keyheight", "55");
    const QStringList before = settings.entries();

    writeBytes(paths.templateDir + "sin", "edited by hand\r\n");
    writeBytes(paths.templateDir + "mine", "my own template\r\n");
    writeBytes(paths.codeDir + "mygame", "init();\r\n");
    keywords.append("mykeyword(");
    writeBytes(paths.keywordsPath, "abs(\r\nmykeyword(\r\n");
    ASSERT_TRUE(QDir(paths.spriteDir).removeRecursively());

    install(1000);

    EXPECT_EQ(readBytes(paths.templateDir + "sin"), readBytes(QUILL_SOURCE_DIR "/assets/tempfiles/sin"));
    EXPECT_EQ(readBytes(paths.templateDir + "mine"), QByteArray("my own template\r\n"));
    EXPECT_EQ(readBytes(paths.codeDir + "mygame"), QByteArray("init();\r\n"));
    EXPECT_TRUE(QFileInfo(paths.spriteDir).isDir());
    EXPECT_EQ(keywords, defaultKeywords());
    EXPECT_FALSE(readBytes(paths.keywordsPath).contains("mykeyword"));

    // Known keys are back to their defaults in their old places, the hand-added
    // palette stays where it was and the removed key is appended.
    const QStringList after = settings.entries();
    ASSERT_EQ(after.size(), 41);
    EXPECT_EQ(after.indexOf("width=32"), before.indexOf("width=40"));
    EXPECT_EQ(after.indexOf("keyheight=72"), before.indexOf("keyheight=55"));
    const QString mine = settings.value("pltMINE");
    ASSERT_EQ(mine.size(), 96);
    EXPECT_EQ(after.indexOf("pltMINE=" + mine), before.indexOf("pltMINE=" + mine));
    EXPECT_EQ(after.last(), "web=0");
    EXPECT_EQ(settings.value("command"), "26");
}

TEST_F(InstallerTest, FolderThatCannotBeMadeIsReportedByName)
{
    writeBytes(paths.baseDir + "prgfiles", "a file where the folder belongs");
    try {
        install();
        FAIL() << "installation over a file succeeded";
    } catch (const QuillError &error) {
        EXPECT_TRUE(error.message().contains(paths.codeDir)) << error.what();
    }
}

TEST_F(InstallerTest, StarterFileThatCannotBeWrittenIsReportedByName)
{
    // A folder in the file's place makes the write fail even for root.
    ASSERT_TRUE(QDir().mkpath(paths.templateDir + "sin"));
    try {
        install();
        FAIL() << "writing over a folder succeeded";
    } catch (const QuillError &error) {
        EXPECT_TRUE(error.message().contains(paths.templateDir + "sin")) << error.what();
    }
    EXPECT_TRUE(QFileInfo(paths.templateDir + "sin").isDir());
}

TEST_F(InstallerTest, FullDiskIsReportedAndLeavesTheOldFileWhole)
{
    testsupport::FullDisk disk(tempDir.path());
    ASSERT_TRUE(disk.mounted()) << disk.error();

    for (const QString &dir : {paths.codeDir, paths.spriteDir, paths.templateDir,
                               paths.scriptDir, paths.imageDir, paths.audioDir})
        ASSERT_TRUE(QDir().mkpath(dir));
    const StarterFile &first = starterFiles().front();
    const QString firstPath = paths.baseDir + first.directory + u'/' + first.name;
    writeBytes(firstPath, "the user's old copy");
    ASSERT_TRUE(disk.fill());

    bool reported = false;
    try {
        install();
    } catch (const QuillError &error) {
        reported = true;
        EXPECT_TRUE(error.message().contains(firstPath)) << error.what();
    }
    EXPECT_TRUE(reported) << "installation on a full disk reported success";
    EXPECT_EQ(readBytes(firstPath), QByteArray("the user's old copy"))
        << "a failed write must not replace the old file";
}

} // namespace
} // namespace quill
