#include "base/recoveryjournal.h"

#include "base/textfile.h"

#include "base/quillerror.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace quill {

namespace {

const QByteArray Mark = QByteArrayLiteral("QUILLIDE JOURNAL 1\n");
constexpr qsizetype DigestSize = 20;  // SHA-1
const QString Suffix = QStringLiteral(".journal");
const QString TemporarySuffix = QStringLiteral(".journal.tmp");
const QString AsideInfix = QStringLiteral(".unreadable-");

void appendNumber(QByteArray &bytes, quint64 number)
{
    char big[8];
    qToBigEndian(number, big);
    bytes.append(big, 8);
}

// Reads a number at `at` and moves past it; false when the bytes end first.
bool takeNumber(const QByteArray &bytes, qsizetype &at, qsizetype end, quint64 &number)
{
    if (end - at < 8)
        return false;
    number = qFromBigEndian<quint64>(bytes.constData() + at);
    at += 8;
    return true;
}

bool takeBytes(const QByteArray &bytes, qsizetype &at, qsizetype end, QByteArray &taken)
{
    quint64 length = 0;
    if (!takeNumber(bytes, at, end, length) || length > quint64(end - at))
        return false;
    taken = bytes.mid(at, qsizetype(length));
    at += qsizetype(length);
    return true;
}

QString failure(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason);
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error != 0 ? error : EIO));
}

} // namespace

QByteArray encodeJournalEntry(const JournalEntry &entry)
{
    qsizetype size = Mark.size() + 8 + DigestSize;
    for (auto field = entry.cbegin(); field != entry.cend(); ++field)
        size += 16 + field.key().size() + field.value().size();
    QByteArray bytes;
    bytes.reserve(size);
    bytes += Mark;
    appendNumber(bytes, quint64(entry.size()));
    for (auto field = entry.cbegin(); field != entry.cend(); ++field) {
        appendNumber(bytes, quint64(field.key().size()));
        bytes += field.key();
        appendNumber(bytes, quint64(field.value().size()));
        bytes += field.value();
    }
    bytes += QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    return bytes;
}

std::optional<JournalEntry> decodeJournalEntry(const QByteArray &bytes)
{
    if (bytes.size() < Mark.size() + 8 + DigestSize || !bytes.startsWith(Mark))
        return std::nullopt;
    const qsizetype end = bytes.size() - DigestSize;
    if (QCryptographicHash::hash(QByteArrayView(bytes).first(end), QCryptographicHash::Sha1)
        != QByteArrayView(bytes).sliced(end))
        return std::nullopt;
    qsizetype at = Mark.size();
    quint64 count = 0;
    if (!takeNumber(bytes, at, end, count))
        return std::nullopt;
    JournalEntry entry;
    for (quint64 i = 0; i < count; ++i) {
        QByteArray name;
        QByteArray value;
        if (!takeBytes(bytes, at, end, name) || !takeBytes(bytes, at, end, value))
            return std::nullopt;
        entry.insert(name, value);
    }
    if (at != end)
        return std::nullopt;
    return entry;
}

RecoveryJournal::RecoveryJournal(QString folder, qsizetype limit)
    : folder_(std::move(folder)), limit_(limit)
{
}

QString RecoveryJournal::pathOf(const QString &slot) const
{
    return folder_ + slot + Suffix;
}

void RecoveryJournal::write(const QString &slot, const JournalEntry &entry)
{
    const QByteArray bytes = encodeJournalEntry(entry);
    const QString path = pathOf(slot);
    if (bytes.size() > limit_)
        throw QuillError(failure(path, QStringLiteral("The work is larger than the journal's limit.")));
    makeFolder(folder_);

    // The user's own work, readable by the user alone.
    const QString temporary = folder_ + slot + TemporarySuffix;
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw QuillError(failure(path, file.errorString()));
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    errno = 0;
    const bool written = file.write(bytes) == bytes.size() && ::fsync(file.handle()) == 0;
    const int writeError = errno;
    file.close();
    if (!written) {
        QFile::remove(temporary);
        throw QuillError(failure(path, systemReason(writeError)));
    }
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        const int renameError = errno;
        QFile::remove(temporary);
        throw QuillError(failure(path, systemReason(renameError)));
    }
    // The rename itself reaches the disk with the folder.
    const int folderHandle = ::open(QFile::encodeName(folder_).constData(), O_RDONLY | O_DIRECTORY);
    if (folderHandle >= 0) {
        ::fsync(folderHandle);
        ::close(folderHandle);
    }
    keepWithinLimit(path);
}

void RecoveryJournal::remove(const QString &slot)
{
    QFile::remove(pathOf(slot));
}

void RecoveryJournal::keepWithinLimit(const QString &written)
{
    QFileInfoList files = QDir(folder_).entryInfoList(QDir::Files | QDir::Hidden, QDir::Time | QDir::Reversed);
    qsizetype total = 0;
    for (const QFileInfo &file : files)
        total += file.size();
    // Oldest first; the entry just written is the one to keep.
    for (const QFileInfo &file : files) {
        if (total <= limit_)
            break;
        if (file.absoluteFilePath() == QFileInfo(written).absoluteFilePath())
            continue;
        if (QFile::remove(file.absoluteFilePath()))
            total -= file.size();
    }
}

RecoveryJournal::Contents RecoveryJournal::read()
{
    Contents contents;
    const QDir folder(folder_);
    for (const QFileInfo &file : folder.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        const QString name = file.fileName();
        if (name.endsWith(TemporarySuffix)) {
            QFile::remove(file.absoluteFilePath());
            continue;
        }
        if (!name.endsWith(Suffix) || name.contains(AsideInfix))
            continue;
        QFile in(file.absoluteFilePath());
        std::optional<JournalEntry> entry;
        if (in.open(QIODevice::ReadOnly) && in.size() <= limit_) {
            entry = decodeJournalEntry(in.readAll());
            in.close();
        }
        if (entry) {
            contents.entries.push_back({name.chopped(Suffix.size()), *entry});
            continue;
        }
        const QString aside = file.absoluteFilePath() + AsideInfix
                              + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
        if (!QFile::rename(file.absoluteFilePath(), aside))
            QFile::remove(file.absoluteFilePath());
        contents.setAside << aside;
    }
    return contents;
}

} // namespace quill
