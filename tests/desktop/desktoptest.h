// Helpers shared by the desktop integration tests: running a command, the
// install tree that `cmake --install` and the Debian package must both hold,
// and the dynamic libraries an ELF file names.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <string>

namespace desktoptest {

inline const QString AppId = QStringLiteral(QUILL_APP_ID);
inline const QString Version = QStringLiteral(QUILL_VERSION);
inline const int IconSizes[] = {16, 32, 48, 64, 96, 128, 256};

struct Result {
    int exitCode = -1;
    bool finished = false;
    QByteArray out;
    QByteArray err;
    std::string text() const { return (out + err).toStdString(); }
};

inline Result run(const QString &program, const QStringList &arguments,
                  const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                  int timeoutMs = 120000)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Result result;
    if (!process.waitForStarted(10000))
        throw std::runtime_error("cannot start " + program.toStdString());
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// Every file the install puts under the prefix /usr, relative to the root.
inline QStringList expectedFiles()
{
    QStringList files = {
        QStringLiteral("usr/bin/QuillIDE"),
        QStringLiteral("usr/share/applications/%1.desktop").arg(AppId),
        QStringLiteral("usr/share/metainfo/%1.metainfo.xml").arg(AppId),
        QStringLiteral("usr/share/icons/hicolor/scalable/apps/%1.svg").arg(AppId),
        QStringLiteral("usr/share/doc/quillide/LICENSE"),
        QStringLiteral("usr/share/doc/quillide/README.md"),
        QStringLiteral("usr/share/doc/quillide/engines/three.js-LICENSE"),
        QStringLiteral("usr/share/doc/quillide/engines/stage-js-LICENSE"),
        QStringLiteral("usr/share/doc/quillide/engines/soundjs-LICENSE"),
        QStringLiteral("usr/share/doc/quillide/engines/sprintf-js-LICENSE"),
    };
    for (int size : IconSizes)
        files << QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(AppId);
    files.sort();
    return files;
}

// The plain files under root, relative to it, sorted; symbolic links count as files.
inline QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

// The DT_NEEDED entries and the run paths of an ELF file, read by readelf.
struct DynamicSection {
    QStringList needed;
    QStringList runPaths; // RPATH and RUNPATH values
};

inline DynamicSection dynamicSection(const QString &elf)
{
    const Result result = run(QStringLiteral("readelf"), {QStringLiteral("-d"), elf});
    if (result.exitCode != 0)
        throw std::runtime_error("readelf failed: " + result.text());
    DynamicSection section;
    for (const QByteArray &line : result.out.split('\n')) {
        const qsizetype open = line.indexOf('['), close = line.lastIndexOf(']');
        if (open < 0 || close < open)
            continue;
        const QString value = QString::fromUtf8(line.mid(open + 1, close - open - 1));
        if (line.contains("(NEEDED)"))
            section.needed << value;
        else if (line.contains("(RPATH)") || line.contains("(RUNPATH)"))
            section.runPaths << value;
    }
    return section;
}

} // namespace desktoptest
