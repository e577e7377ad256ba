#include "base/filereader.h"

#include "base/quillerror.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quill {

namespace {

[[noreturn]] void notRegular(const QString &name)
{
    throw QuillError(QStringLiteral("Failed to open %1.").arg(name));
}

[[noreturn]] void cannotOpen(const QString &path, int error)
{
    throw QuillError(QStringLiteral("Cannot open file \"%1\". %2")
                         .arg(path, QString::fromLocal8Bit(std::strerror(error))));
}

[[noreturn]] void tooLarge(const QString &name)
{
    throw QuillError(QStringLiteral("Too large: %1.").arg(name));
}

} // namespace

std::unique_ptr<QFile> openRegularFile(const QString &path, const QString &name)
{
    const QByteArray encoded = QFile::encodeName(path);
    // Looked at first, so that a device is not even opened (opening some has
    // effects of its own); the descriptor is checked again below, since the
    // entry may change in between.
    struct stat info {};
    if (::stat(encoded.constData(), &info) != 0)
        cannotOpen(path, errno);
    if (!S_ISREG(info.st_mode))
        notRegular(name);
    // O_NONBLOCK: should a FIFO have taken the file's place meanwhile, the
    // open returns at once instead of waiting for a writer.
    const int fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        cannotOpen(path, errno);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        notRegular(name);
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        cannotOpen(path, EBADF);
    }
    return file;
}

void checkFileSize(const QFile &file, const QString &name, qint64 limit)
{
    if (file.size() > limit)
        tooLarge(name);
}

QByteArray readRegularFile(const QString &path, const QString &name, qint64 limit,
                           const std::function<void(QByteArrayView)> &readSoFar)
{
    const std::unique_ptr<QFile> file = openRegularFile(path, name);
    checkFileSize(*file, name, limit);
    // Pieces small enough to stay in the cache while readSoFar looks at them.
    constexpr qint64 Piece = 128 * 1024;
    QByteArray bytes(std::max<qint64>(std::min(file->size(), limit) + 1, 1), Qt::Uninitialized);
    qint64 used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (used > limit)
                tooLarge(name);
            bytes.resize(std::min<qint64>(bytes.size() * 2, limit + 1));
        }
        const qint64 asked = readSoFar ? std::min(Piece, bytes.size() - used) : bytes.size() - used;
        const qint64 got = file->read(bytes.data() + used, asked);
        if (got < 0)
            throw QuillError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file->errorString()));
        if (got == 0)
            break;
        used += got;
        if (used > limit)
            tooLarge(name);
        if (readSoFar)
            readSoFar(QByteArrayView(bytes.constData(), used));
    }
    bytes.truncate(used);
    return bytes;
}

QByteArray readFileStart(const QString &path, const QString &name, qint64 count)
{
    const std::unique_ptr<QFile> file = openRegularFile(path, name);
    const QByteArray bytes = file->read(count);
    if (file->error() != QFileDevice::NoError)
        throw QuillError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file->errorString()));
    return bytes;
}

} // namespace quill
