#include "builder/exportstaging.h"

#include "base/filename.h"
#include "base/quillerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quill {

namespace {

// What a staging folder holds, besides the temporary files its writers make
// on the way.
const QString NameFile = QStringLiteral("name");
const QString StagedArchive = QStringLiteral("archive.zip");
const QString StagedPage = QStringLiteral("page.html");

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString withoutTrailingSlashes(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool renameFile(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool isFolder(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder's lock, taken without waiting when `wait` is false; -1 when
// another process holds it or the folder cannot be opened.
int lockFolder(const QString &folder, bool wait)
{
    const int fd = ::open(QFile::encodeName(folder).constData(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// A staging folder and everything in it; what is no file (a folder inside,
// which no export makes) stays, and the folder with it.
void removeStaging(const QString &folder)
{
    QDir staging(folder);
    for (const QString &name : staging.entryList(QDir::Files | QDir::Hidden | QDir::System))
        ::unlink(QFile::encodeName(folder + name).constData());
    ::rmdir(QFile::encodeName(folder).constData());
}

// The program name a staging folder names; nothing when it names none that
// could be exported.
QString stagedName(const QString &folder)
{
    QFile file(folder + NameFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString name = QString::fromUtf8(file.read(4 * LongestFileName));
    return fileNameProblem(name) ? QString() : name;
}

void writeNameFile(const QString &folder, const QString &programName)
{
    const QByteArray bytes = programName.toUtf8();
    errno = 0;
    const int fd = ::open(QFile::encodeName(folder + NameFile).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    const bool written = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size()
                         && ::fsync(fd) == 0;
    const int error = errno != 0 ? errno : EIO;
    if (fd >= 0)
        ::close(fd);
    if (!written)
        throw QuillError(QStringLiteral("Cannot write file \"%1\". %2").arg(folder + NameFile, reason(error)));
}

} // namespace

ExportStaging::ExportStaging(const QString &exportDir, const QString &programName)
    : exportDir_(withoutTrailingSlashes(exportDir)), programName_(programName)
{
    // A settling export elsewhere may take a folder made a moment ago, before
    // its lock was held: then another is made.
    for (int attempt = 0; attempt < 3 && lock_ < 0; ++attempt) {
        QByteArray pattern = QFile::encodeName(exportDir_ + u'/' + ExportTemporaryPrefix + QStringLiteral("XXXXXX"));
        if (!::mkdtemp(pattern.data()))
            throw QuillError(QStringLiteral("Cannot create file \"%1.zip\". %2")
                                 .arg(exportDir_ + u'/' + programName_, reason(errno)));
        const QString folder = QFile::decodeName(pattern);
        const int fd = lockFolder(folder, true);
        struct stat held {}, named {};
        if (fd >= 0 && ::fstat(fd, &held) == 0 && ::lstat(pattern.constData(), &named) == 0
            && held.st_ino == named.st_ino && held.st_dev == named.st_dev) {
            folder_ = folder + u'/';
            lock_ = fd;
        } else if (fd >= 0) {
            ::close(fd);
        }
    }
    if (lock_ < 0)
        throw QuillError(QStringLiteral("Cannot create file \"%1.zip\". Its folder was taken away while it was made.")
                             .arg(exportDir_ + u'/' + programName_));
    try {
        writeNameFile(folder_, programName_);
    } catch (...) {
        removeStaging(folder_);
        ::close(lock_);
        throw;
    }
}

ExportStaging::~ExportStaging()
{
    if (!keep_)
        removeStaging(folder_);
    ::close(lock_);
}

QString ExportStaging::archivePath() const
{
    return folder_ + StagedArchive;
}

QString ExportStaging::pagePath() const
{
    return folder_ + StagedPage;
}

void ExportStaging::putInPlace()
{
    const QString base = exportDir_ + u'/' + programName_;
    const QString archive = base + QStringLiteral(".zip");
    const QString page = base + QStringLiteral(".html");
    for (const QString &target : {archive, page})
        if (isFolder(target))
            throw QuillError(QStringLiteral("Cannot write file \"%1\". It is a folder.").arg(target));
    syncFolder(folder_);
    if (!renameFile(archivePath(), archive))
        throw QuillError(QStringLiteral("Cannot write file \"%1\". %2").arg(archive, reason(errno)));
    // The archive's move is on the disk before the page's.
    syncFolder(exportDir_);
    if (!renameFile(pagePath(), page)) {
        const QString why = reason(errno);
        keep_ = true;
        throw QuillError(QStringLiteral("%1 was written, but %2 could not be replaced. %3 It is put in place at "
                                        "the next Export or start.")
                             .arg(archive, page, why));
    }
    syncFolder(exportDir_);
}

QStringList settleExports(const QString &exportDir)
{
    QStringList unfinished;
    const QString folder = withoutTrailingSlashes(exportDir) + u'/';
    const QDir dir(folder);
    const QStringList names = dir.entryList(QStringList{ExportTemporaryPrefix + u'*'},
                                            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QString path = folder + name;
        struct stat info {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
            continue;
        if (S_ISREG(info.st_mode)) {
            // A temporary file of an export of an earlier release.
            ::unlink(QFile::encodeName(path).constData());
            continue;
        }
        if (!S_ISDIR(info.st_mode))
            continue;
        const int lock = lockFolder(path, false);
        if (lock < 0)
            continue;  // an export that runs now
        const QString staging = path + u'/';
        const QString program = stagedName(staging);
        if (!program.isEmpty() && QFileInfo::exists(staging + StagedPage)) {
            const QString base = folder + program;
            const bool archiveMoved = !QFileInfo::exists(staging + StagedArchive)
                                      || renameFile(staging + StagedArchive, base + QStringLiteral(".zip"));
            if (archiveMoved)
                syncFolder(folder);
            if (!archiveMoved || !renameFile(staging + StagedPage, base + QStringLiteral(".html"))) {
                unfinished << QStringLiteral("%1.zip and %1.html in %2 may not match: an Export was cut short, "
                                             "and its files could not be put in place (%3).")
                                  .arg(program, withoutTrailingSlashes(exportDir), reason(errno));
                ::close(lock);
                continue;
            }
            syncFolder(folder);
        }
        removeStaging(staging);
        ::close(lock);
    }
    return unfinished;
}

} // namespace quill
