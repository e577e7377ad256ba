#include "app/installer.h"

#include "base/settingstable.h"
#include "base/filereader.h"
#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "app/starterfiles.h"
#include "base/textfile.h"
#include "base/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace quill {

QStringList defaultKeywords()
{
    // Ascending by character code; the entries with a trailing space are
    // followed by the user's own text when inserted.
    return {
        QStringLiteral("abs("),          QStringLiteral("alert("),        QStringLiteral("asc("),
        QStringLiteral("atan2("),        QStringLiteral("bgbegin();"),    QStringLiteral("bgcolor("),
        QStringLiteral("bgend();"),      QStringLiteral("box("),          QStringLiteral("break;"),
        QStringLiteral("case "),         QStringLiteral("chkm("),         QStringLiteral("chkt("),
        QStringLiteral("chr("),          QStringLiteral("circle("),       QStringLiteral("cls();"),
        QStringLiteral("cos("),          QStringLiteral("default:"),      QStringLiteral("delm("),
        QStringLiteral("else"),          QStringLiteral("for("),          QStringLiteral("function "),
        QStringLiteral("if("),           QStringLiteral("include "),      QStringLiteral("int("),
        QStringLiteral("key("),          QStringLiteral("keydown("),      QStringLiteral("keyup("),
        QStringLiteral("len("),          QStringLiteral("length"),        QStringLiteral("line("),
        QStringLiteral("lower("),        QStringLiteral("maprepeat("),    QStringLiteral("mid("),
        QStringLiteral("mousemove("),    QStringLiteral("new Array()"),   QStringLiteral("offset("),
        QStringLiteral("pad("),          QStringLiteral("print("),        QStringLiteral("putc("),
        QStringLiteral("rand("),         QStringLiteral("rectangle("),    QStringLiteral("return"),
        QStringLiteral("rgb("),          QStringLiteral("rnd()"),         QStringLiteral("setcam("),
        QStringLiteral("setm("),         QStringLiteral("setm12s("),      QStringLiteral("setm4s("),
        QStringLiteral("setm8s("),       QStringLiteral("setmCone("),     QStringLiteral("setmCube("),
        QStringLiteral("setmCylinder("), QStringLiteral("setmPlane("),    QStringLiteral("setmSphere("),
        QStringLiteral("setmTorus("),    QStringLiteral("setmTorusKnot("), QStringLiteral("setscreen("),
        QStringLiteral("sett("),         QStringLiteral("settext("),      QStringLiteral("setwait("),
        QStringLiteral("sin("),          QStringLiteral("sndload("),      QStringLiteral("sndloop("),
        QStringLiteral("sndplay("),      QStringLiteral("sndstatus("),    QStringLiteral("sndstop("),
        QStringLiteral("sprintf("),      QStringLiteral("sprite("),       QStringLiteral("sqr("),
        QStringLiteral("switch("),       QStringLiteral("tan("),          QStringLiteral("time()"),
        QStringLiteral("try{"),          QStringLiteral("upper("),        QStringLiteral("var "),
        QStringLiteral("while("),
    };
}

namespace {

// The user's bytes in place of a starter file, if any differ from it.
std::optional<QByteArray> ownVersion(const QString &path, const QByteArray &starter)
{
    // Read through the one file reader: a FIFO or a device in a starter
    // file's place is no version of it and never holds the installation up.
    QByteArray bytes;
    try {
        bytes = readRegularFile(path, path, std::numeric_limits<qint64>::max());
    } catch (const QuillError &) {
        return std::nullopt;
    }
    if (bytes == starter)
        return std::nullopt;
    return bytes;
}

// Copies the user's version into the keep folder; false when it cannot.
bool keepOwnVersion(const QString &keepDir, const QString &relative, const QByteArray &bytes)
{
    const QString base = keepDir + relative;
    if (!QDir().mkpath(QFileInfo(base).path()))
        return false;
    QString target = base;
    for (int n = 1; QFileInfo::exists(target); ++n) {
        QFile kept(target);
        if (kept.open(QIODevice::ReadOnly) && kept.readAll() == bytes)
            return true;  // this version is kept already
        target = base + u'.' + QString::number(n);
    }
    try {
        writeBinaryFile(target, bytes);
    } catch (const QuillError &) {
        return false;
    }
    return true;
}

} // namespace

std::optional<QString> keptFilesMessage(const InstallReport &report)
{
    QStringList sentences;
    if (!report.kept.isEmpty())
        sentences << QStringLiteral("Your own versions were kept in %1: %2.")
                         .arg(report.keepDir, report.kept.join(QStringLiteral(", ")));
    if (!report.leftAlone.isEmpty())
        sentences << QStringLiteral("Your own versions could not be kept and were left as they were: %1.")
                         .arg(report.leftAlone.join(QStringLiteral(", ")));
    if (sentences.isEmpty())
        return std::nullopt;
    return sentences.join(u' ');
}

InstallReport installWorkspace(const WorkspacePaths &paths, SettingsStore &settings,
                               QStringList &keywords, int keyPanelWidth,
                               const QString &documentsDir, const QString &keepDir)
{
    InstallReport report;
    report.keepDir = keepDir;
    // A folder that cannot be made is reported here, naming it, rather than
    // by the first file that would go into it.
    for (const QString &dir : {paths.codeDir, paths.spriteDir, paths.templateDir,
                               paths.scriptDir, paths.imageDir, paths.audioDir})
        makeFolder(dir);

    applyDefaultSettings(settings, documentsDir, keyPanelWidth);

    // Same-named files are replaced with the carried copies, the user's own
    // versions kept first; every other file in these folders is left alone.
    for (const StarterFile &file : starterFiles()) {
        const QString relative = file.directory + u'/' + file.name;
        const QString path = paths.baseDir + relative;
        const QByteArray starter = starterFileBytes(file);
        if (!keepDir.isEmpty()) {
            if (const std::optional<QByteArray> own = ownVersion(path, starter)) {
                if (!keepOwnVersion(keepDir, relative, *own)) {
                    report.leftAlone << relative;
                    continue;
                }
                report.kept << relative;
            }
        }
        writeBinaryFile(path, starter);
    }

    // The keyword list likewise: a list the user edited is kept first, and
    // one that cannot be kept stays as it is, and in use.
    keywords = defaultKeywords();
    bool replaceKeywords = true;
    if (!keepDir.isEmpty()) {
        const QString relative = QFileInfo(paths.keywordsPath).fileName();
        if (const std::optional<QByteArray> own =
                ownVersion(paths.keywordsPath, encodeText(keywords, TextEncoding::Local8Bit))) {
            replaceKeywords = keepOwnVersion(keepDir, relative, *own);
            (replaceKeywords ? report.kept : report.leftAlone) << relative;
        }
    }
    if (replaceKeywords)
        writeTextFile(paths.keywordsPath, keywords, TextEncoding::Local8Bit);
    else
        keywords = readTextFile(paths.keywordsPath).lines;

    rescaleInstalledHeights(settings);
    return report;
}

} // namespace quill
