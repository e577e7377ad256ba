// `cmake --install` into a temporary DESTDIR with the prefix /usr: the tree,
// the desktop entry and AppStream metadata as the desktop's own validators
// see them, the icons, the licences, and the installed executable itself.
#include "app/starterfiles.h"
#include "desktoptest.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QMap>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <memory>

using namespace desktoptest;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

// The keys of a desktop file's [Desktop Entry] group.
QMap<QString, QString> desktopEntryKeys(const QString &path)
{
    QMap<QString, QString> keys;
    bool inGroup = false;
    for (const QByteArray &line : readAll(path).split('\n')) {
        if (line.startsWith('['))
            inGroup = line == "[Desktop Entry]";
        else if (inGroup && line.contains('='))
            keys.insert(QString::fromUtf8(line.left(line.indexOf('='))),
                        QString::fromUtf8(line.mid(line.indexOf('=') + 1)));
    }
    return keys;
}

// The icon drawn by an SVG of unit rectangles, one pixel per unit.
QImage rasteriseSvg(const QByteArray &svg, int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    QXmlStreamReader xml(svg);
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("svg"))
            continue;
        if (xml.name() != QLatin1String("rect"))
            throw std::runtime_error("unexpected element " + xml.name().toString().toStdString());
        const auto attribute = [&](const char *name) { return xml.attributes().value(QLatin1String(name)); };
        const int x = attribute("x").toInt(), y = attribute("y").toInt();
        const int width = attribute("width").toInt(), height = attribute("height").toInt();
        const QColor fill(attribute("fill").toString());
        if (!fill.isValid())
            throw std::runtime_error("a rect without a colour");
        for (int row = y; row < y + height; ++row)
            for (int col = x; col < x + width; ++col)
                image.setPixel(col, row, fill.rgba());
        xml.skipCurrentElement();
    }
    if (xml.hasError())
        throw std::runtime_error("bad SVG: " + xml.errorString().toStdString());
    return image;
}

// The state of each thread of a running process: its name and what it is
// waiting in, and with gdb at hand its stack.
std::string threadReport(qint64 pid)
{
    if (pid <= 0)
        return "not running";
    const QString proc = QStringLiteral("/proc/%1/task").arg(pid);
    std::string report;
    for (const QString &task : QDir(proc).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const auto field = [&](const char *name) {
            QFile file(proc + u'/' + task + u'/' + QLatin1String(name));
            return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toStdString() : std::string("?");
        };
        report += task.toStdString() + " " + field("comm") + ": " + field("wchan") + " [" + field("syscall") + "]\n";
    }
    if (!QStandardPaths::findExecutable(QStringLiteral("gdb")).isEmpty())
        report += run(QStringLiteral("gdb"), {QStringLiteral("-p"), QString::number(pid), QStringLiteral("-batch"),
                                              QStringLiteral("-ex"), QStringLiteral("thread apply all bt")},
                      QProcessEnvironment::systemEnvironment(), 60000).text();
    return report;
}

class InstallTree : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        destDir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(destDir->isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), destDir->path());
        const Result install = run(QStringLiteral(QUILL_CMAKE),
                                   {QStringLiteral("--install"), QStringLiteral(QUILL_BINARY_DIR),
                                    QStringLiteral("--prefix"), QStringLiteral("/usr")},
                                   environment);
        ASSERT_EQ(install.exitCode, 0) << install.text();
    }
    static void TearDownTestSuite() { destDir.reset(); }

    static QString installed(const QString &relative) { return destDir->path() + u'/' + relative; }
    static QString executable() { return installed(QStringLiteral("usr/bin/QuillIDE")); }
    static QString desktopEntry() { return installed(QStringLiteral("usr/share/applications/%1.desktop").arg(AppId)); }
    static QString metainfo() { return installed(QStringLiteral("usr/share/metainfo/%1.metainfo.xml").arg(AppId)); }
    static QString pngIcon(int size)
    {
        return installed(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(AppId));
    }

    // A scratch home and data folder for one run of the installed program,
    // with no display unless the test gives one.
    struct Scratch {
        QTemporaryDir root;
        QString data() const { return root.path() + QStringLiteral("/data"); }
        QString home() const { return root.path() + QStringLiteral("/home"); }
        QProcessEnvironment environment(bool withDisplay) const
        {
            QDir().mkpath(data());
            QDir().mkpath(home());
            QDir().mkpath(root.path() + QStringLiteral("/runtime"));
            QFile::setPermissions(root.path() + QStringLiteral("/runtime"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("XDG_DATA_HOME"), data());
            environment.insert(QStringLiteral("HOME"), home());
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.path() + QStringLiteral("/runtime"));
            environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
            environment.remove(QStringLiteral("XDG_STATE_HOME"));  // so under HOME
            environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
            if (!withDisplay) {
                environment.remove(QStringLiteral("DISPLAY"));
                environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
            }
            return environment;
        }
    };

    static std::unique_ptr<QTemporaryDir> destDir;
};

std::unique_ptr<QTemporaryDir> InstallTree::destDir;

TEST_F(InstallTree, HoldsExactlyTheProgramItsDesktopFilesAndDocumentationUnderThePrefix)
{
    // Anything outside usr/ would be a file written outside the prefix.
    EXPECT_EQ(filesUnder(destDir->path()), expectedFiles());
    EXPECT_TRUE(QFileInfo(executable()).isExecutable());
}

TEST_F(InstallTree, TheExecutableNeedsNothingFromTheSourceOrBuildTree)
{
    const DynamicSection dynamic = dynamicSection(executable());
    EXPECT_TRUE(dynamic.runPaths.isEmpty()) << dynamic.runPaths.join(u' ').toStdString();
    const QByteArray bytes = readAll(executable());
    for (const char *tree : {QUILL_SOURCE_DIR, QUILL_BINARY_DIR})
        EXPECT_FALSE(bytes.contains(tree)) << tree;
}

TEST_F(InstallTree, TheDesktopEntryValidatesAndNamesTheInstalledProgramAndIcon)
{
    const Result validate = run(QStringLiteral("desktop-file-validate"), {desktopEntry()});
    EXPECT_EQ(validate.exitCode, 0) << validate.text();
    EXPECT_TRUE(validate.out.isEmpty() && validate.err.isEmpty()) << validate.text();

    const QMap<QString, QString> entry = desktopEntryKeys(desktopEntry());
    EXPECT_EQ(entry.value(QStringLiteral("Name")), QStringLiteral("QuillIDE"));
    EXPECT_FALSE(entry.value(QStringLiteral("Comment")).isEmpty());
    EXPECT_EQ(entry.value(QStringLiteral("Exec")), QStringLiteral("QuillIDE"));
    EXPECT_EQ(entry.value(QStringLiteral("Icon")), AppId);
    // The window's WM_CLASS, so that docks group the window with the entry.
    EXPECT_EQ(entry.value(QStringLiteral("StartupWMClass")), QStringLiteral("QuillIDE"));
    const QStringList categories = entry.value(QStringLiteral("Categories")).split(u';', Qt::SkipEmptyParts);
    EXPECT_TRUE(categories.contains(QStringLiteral("Development")));
    EXPECT_TRUE(categories.contains(QStringLiteral("IDE")));
}

TEST_F(InstallTree, TheMetadataValidatesAndAgreesWithTheProgram)
{
    const Result validate = run(QStringLiteral("appstreamcli"),
                                {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo()});
    EXPECT_EQ(validate.exitCode, 0) << validate.text();
    // Warnings and errors fail the validation; only pedantic hints may remain.
    EXPECT_FALSE(QString::fromUtf8(validate.out).contains(QRegularExpression(QStringLiteral("^[EWI]:"),
                 QRegularExpression::MultilineOption))) << validate.text();

    const QString xml = QString::fromUtf8(readAll(metainfo()));
    struct Case {
        const char *name;
        const char *needle;
    };
    const std::vector<Case> cases = {
        {"id", "<id>" QUILL_APP_ID "</id>"},
        {"metadata licence", "<metadata_license>MIT</metadata_license>"},
        {"project licence", "<project_license>MIT</project_license>"},
        {"launchable desktop entry", "<launchable type=\"desktop-id\">" QUILL_APP_ID ".desktop</launchable>"},
        {"content rating", "<content_rating type=\"oars-1.1\""},
        {"version of this build", "<release version=\"" QUILL_VERSION "\""},
        {"summary", "<summary>"},
        {"description", "<description>"},
    };
    for (const Case &c : cases)
        EXPECT_TRUE(xml.contains(QLatin1String(c.needle))) << c.name;
    // Addresses it cannot stand behind: the project has no web site.
    EXPECT_FALSE(xml.contains(QLatin1String("<url"))) << "no address is claimed";
}

TEST_F(InstallTree, EveryIconIsTheSameDrawingInSharpWholePixels)
{
    // The 16-pixel icon is the drawing; every larger one must be it with each
    // pixel an exact square (no smoothing), and the SVG must draw it too.
    const QImage base = QImage(pngIcon(16)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(base.size(), QSize(16, 16));
    QSet<QRgb> colours;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            colours.insert(base.pixel(x, y));
    EXPECT_GE(colours.size(), 5) << "a drawing, not a filled square";
    EXPECT_EQ(qAlpha(base.pixel(0, 0)), 0) << "rounded corners";
    EXPECT_EQ(qAlpha(base.pixel(8, 8)), 255);

    for (int size : IconSizes) {
        const QImage icon = QImage(pngIcon(size)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(icon.size(), QSize(size, size)) << size;
        const int scale = size / 16;
        int wrong = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                wrong += icon.pixel(x, y) != base.pixel(x / scale, y / scale);
        EXPECT_EQ(wrong, 0) << size << " pixels";
    }

    const QString svgPath = installed(QStringLiteral("usr/share/icons/hicolor/scalable/apps/%1.svg").arg(AppId));
    EXPECT_EQ(rasteriseSvg(readAll(svgPath), 16), base);
}

TEST_F(InstallTree, TheLicencesAreInstalledBesideTheDocumentation)
{
    struct Case {
        const char *file;
        const char *licenceText;
    };
    const std::vector<Case> cases = {
        {"LICENSE", "Permission is hereby granted, free of charge"},
        {"engines/three.js-LICENSE", "Permission is hereby granted, free of charge"},
        {"engines/stage-js-LICENSE", "Permission is hereby granted, free of charge"},
        {"engines/soundjs-LICENSE", "Permission is hereby granted, free of charge"},
        {"engines/sprintf-js-LICENSE", "Neither the name of"}, // the third clause of BSD-3-Clause
    };
    for (const Case &c : cases) {
        const QByteArray text = readAll(installed(QStringLiteral("usr/share/doc/quillide/") + QLatin1String(c.file)));
        EXPECT_TRUE(text.contains(c.licenceText)) << c.file;
    }
    EXPECT_EQ(readAll(installed(QStringLiteral("usr/share/doc/quillide/LICENSE"))),
              readAll(QStringLiteral(QUILL_SOURCE_DIR "/LICENSE")));
}

TEST_F(InstallTree, VersionHelpAndBadArgumentsPrintAndExitWithoutAWindowOrAWorkspace)
{
    struct Case {
        const char *name;
        QStringList arguments;
        int exitCode;
        QStringList out; // texts the output must hold
        QStringList err;
    };
    const std::vector<Case> cases = {
        {"version", {QStringLiteral("--version")}, 0, {QStringLiteral("QuillIDE " QUILL_VERSION "\n")}, {}},
        {"short version", {QStringLiteral("-v")}, 0, {QStringLiteral("QuillIDE " QUILL_VERSION "\n")}, {}},
        {"help: ours and Qt's for the display", {QStringLiteral("--help")}, 0,
         {QStringLiteral("--help"), QStringLiteral("--version"), QStringLiteral("--platform"),
          QStringLiteral("QT_SCALE_FACTOR")}, {}},
        {"short help", {QStringLiteral("-h")}, 0, {QStringLiteral("--version")}, {}},
        {"unknown option", {QStringLiteral("--frobnicate")}, 1, {},
         {QStringLiteral("Unknown option 'frobnicate'."), QStringLiteral("--help")}},
    };
    for (const Case &c : cases) {
        Scratch scratch;
        // No display: a request that tried to open a window would fail here.
        const QProcessEnvironment environment = scratch.environment(/*withDisplay=*/c.exitCode == 1);
        const Result result = run(executable(), c.arguments, environment, 30000);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.name << ": " << result.text();
        for (const QString &text : c.out)
            EXPECT_TRUE(QString::fromUtf8(result.out).contains(text)) << c.name << ": " << text.toStdString();
        for (const QString &text : c.err)
            EXPECT_TRUE(QString::fromUtf8(result.err).contains(text)) << c.name << ": " << text.toStdString();
        EXPECT_TRUE(filesUnder(scratch.data()).isEmpty()) << c.name << ": the workspace was touched";
        EXPECT_TRUE(filesUnder(scratch.home()).isEmpty()) << c.name << ": the home folder was touched";
    }
}

TEST_F(InstallTree, TheInstalledProgramStartsInstallsItsWorkspaceAndShowsItsIdentity)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "runs under Xvfb";
    Scratch scratch;
    QProcess program;
    program.setProcessEnvironment(scratch.environment(/*withDisplay=*/true));
    // Into files, not pipes: nothing here reads a pipe while the program
    // starts, and a full one would stop it at its next warning.
    const QString output = scratch.root.path() + QStringLiteral("/output.txt");
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.setStandardOutputFile(output);
    program.start(executable(), {});
    ASSERT_TRUE(program.waitForStarted(10000));

    const QString base = scratch.data() + QStringLiteral("/QuillIDE/");
    // quillide.ini too: the first start writes it once it has installed.
    QStringList expected = {QStringLiteral("keywords.ini"), QStringLiteral("quillide.ini")};
    for (const quill::StarterFile &file : quill::starterFiles())
        expected << file.directory + u'/' + file.name;
    expected.sort();

    // The window: its title, WM_CLASS (which the desktop entry's
    // StartupWMClass names) and its icon in every size.
    QByteArray properties;
    QElapsedTimer timer;
    timer.start();
    bool ended = false;
    while (properties.isEmpty() && timer.elapsed() < 30000 && !(ended = program.waitForFinished(200))) {
        const Result xprop = run(QStringLiteral("xprop"),
                                 {QStringLiteral("-name"), QStringLiteral("QuillIDE"),
                                  QStringLiteral("WM_CLASS"), QStringLiteral("_NET_WM_ICON")},
                                 QProcessEnvironment::systemEnvironment(), 10000);
        if (xprop.exitCode == 0 && xprop.out.contains("Icon ("))
            properties = xprop.out;
    }
    const QStringList installedFiles = filesUnder(base);
    if (ended)
        ADD_FAILURE() << "the program ended after " << timer.elapsed() << " ms, printing:\n"
                      << readAll(output).toStdString();
    else if (properties.isEmpty())
        ADD_FAILURE() << "no window after " << timer.elapsed() << " ms; the program printed:\n"
                      << readAll(output).toStdString() << "\nits threads:\n" << threadReport(program.processId());
    program.terminate();
    program.waitForFinished(10000);

    EXPECT_EQ(installedFiles, expected) << "first run installs the workspace in the XDG data folder";
    EXPECT_TRUE(properties.contains("WM_CLASS(STRING) = \"QuillIDE\", \"QuillIDE\"")) << properties.toStdString();
    // Qt's X11 window icon carries the sizes up to 128.
    for (int size : {16, 32, 48, 64, 96, 128})
        EXPECT_TRUE(properties.contains(QStringLiteral("Icon (%1 x %1)").arg(size).toUtf8())) << size;
}

} // namespace
