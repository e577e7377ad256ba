// The Debian package that `cpack -G DEB` makes from the build (one cpack run
// for the whole suite): its control fields, its files, its maintainer
// scripts and whether its declared dependencies cover what it links.
#include "desktoptest.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace desktoptest;

namespace {

QString architecture()
{
    return QString::fromUtf8(run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).out.trimmed());
}

// The package names of a Depends field, alternatives included, without versions.
QSet<QString> dependencyNames(const QString &depends)
{
    QSet<QString> names;
    for (const QString &entry : depends.split(u',', Qt::SkipEmptyParts))
        for (const QString &alternative : entry.split(u'|', Qt::SkipEmptyParts))
            names.insert(alternative.section(u'(', 0, 0).trimmed());
    return names;
}

// The packages on this machine that own a library of that file name.
QSet<QString> ownersOfLibrary(const QString &library)
{
    const Result result = run(QStringLiteral("dpkg-query"), {QStringLiteral("-S"), QStringLiteral("*/") + library});
    QSet<QString> owners;
    for (const QByteArray &line : result.out.split('\n')) {
        const QString owners_ = QString::fromUtf8(line.left(line.indexOf(": ")));
        for (const QString &owner : owners_.split(QStringLiteral(", "), Qt::SkipEmptyParts))
            owners.insert(owner.section(u':', 0, 0).trimmed());
    }
    return owners;
}

class DebianPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        work = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(work->isValid());
        const Result cpack = run(QStringLiteral(QUILL_CPACK),
                                 {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), work->path(),
                                  QStringLiteral("--config"), QStringLiteral(QUILL_BINARY_DIR "/CPackConfig.cmake")},
                                 QProcessEnvironment::systemEnvironment(), 600000);
        ASSERT_EQ(cpack.exitCode, 0) << cpack.text();
        package = work->path() + QStringLiteral("/quillide_%1_%2.deb").arg(Version, architecture());
        ASSERT_TRUE(QFileInfo(package).isFile()) << "no " << package.toStdString() << "\n" << cpack.text();
        const Result extract = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), package, contents()});
        ASSERT_EQ(extract.exitCode, 0) << extract.text();
        const Result control = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-e"), package, controlDir()});
        ASSERT_EQ(control.exitCode, 0) << control.text();
    }
    static void TearDownTestSuite() { work.reset(); }

    static QString contents() { return work->path() + QStringLiteral("/contents"); }
    static QString controlDir() { return work->path() + QStringLiteral("/control"); }
    static QString field(const char *name)
    {
        return QString::fromUtf8(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), package, QLatin1String(name)})
                                     .out.trimmed());
    }

    static std::unique_ptr<QTemporaryDir> work;
    static QString package;
};

std::unique_ptr<QTemporaryDir> DebianPackage::work;
QString DebianPackage::package;

TEST_F(DebianPackage, ControlFieldsNameThePackageAndThisVersion)
{
    struct Case {
        const char *field;
        QString value;
    };
    const std::vector<Case> cases = {
        {"Package", QStringLiteral("quillide")},
        {"Version", Version},
        {"Architecture", architecture()},
        {"Section", QStringLiteral("devel")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(field(c.field), c.value) << c.field;
    EXPECT_FALSE(field("Maintainer").isEmpty());
    EXPECT_FALSE(field("Description").isEmpty());
}

TEST_F(DebianPackage, ShipsTheInstallTreeAndNothingOutsideUsr)
{
    EXPECT_EQ(filesUnder(contents()), expectedFiles());
    const Result listing = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), package});
    ASSERT_EQ(listing.exitCode, 0) << listing.text();
    for (const QByteArray &line : listing.out.split('\n')) {
        if (line.isEmpty())
            continue;
        const QByteArray path = line.mid(line.lastIndexOf(' ') + 1);
        EXPECT_TRUE(path == "./" || path.startsWith("./usr/")) << line.toStdString();
    }
}

TEST_F(DebianPackage, RunsNoMaintainerScripts)
{
    // Without preinst/postinst/prerm/postrm nothing runs at install or
    // removal, so no user's home and no workspace can be touched by either.
    QStringList members = QDir(controlDir()).entryList(QDir::Files);
    members.sort();
    EXPECT_EQ(members, (QStringList{QStringLiteral("control"), QStringLiteral("md5sums")}));
}

TEST_F(DebianPackage, DeclaresEveryLibraryItLinksAndThePlatformPlugins)
{
    const QSet<QString> depends = dependencyNames(field("Depends"));
    const DynamicSection dynamic = dynamicSection(contents() + QStringLiteral("/usr/bin/QuillIDE"));
    ASSERT_FALSE(dynamic.needed.isEmpty());
    for (const QString &library : dynamic.needed) {
        const QSet<QString> owners = ownersOfLibrary(library);
        ASSERT_FALSE(owners.isEmpty()) << library.toStdString() << " belongs to no package here";
        EXPECT_TRUE(owners.intersects(depends))
            << library.toStdString() << " comes from " << QStringList(owners.values()).join(u' ').toStdString()
            << ", which the package does not depend on";
    }
    // Loaded at run time to open a window, so no link shows it.
    EXPECT_TRUE(depends.contains(QStringLiteral("qt6-qpa-plugins")));
    // Every name is a real package: each is installed on the machine that built it.
    for (const QString &name : depends) {
        const Result status = run(QStringLiteral("dpkg-query"), {QStringLiteral("-W"), QStringLiteral("-f=${Status}"), name});
        EXPECT_TRUE(status.out.contains("ok installed")) << name.toStdString();
    }
}

} // namespace
