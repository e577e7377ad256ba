#include "sprite/spritestorage.h"

#include "base/filename.h"
#include "base/filereader.h"
#include "base/filelist.h"
#include "base/quillerror.h"
#include "base/textfile.h"
#include "sprite/spritedocument.h"
#include "sprite/spritesheet.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace quill {

namespace {

// Where a save keeps its files until they are renamed into place: a hidden
// folder, which no file list shows, on the same file system as its target.
const QString SavingFolder = QStringLiteral(".quill-saving/");

QString platformReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool renameFile(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// One file of a save, written whole and onto the disk under a temporary
// name in folder's saving folder; removed again unless it was renamed into
// place or is kept for the next start.
class StagedFile {
public:
    StagedFile(const QString &folder, const QString &target, const QByteArray &bytes) : target_(target)
    {
        const auto failed = [&](const QString &reason) {
            return QuillError(QStringLiteral("Cannot write file \"%1\". %2").arg(target, reason));
        };
        try {
            makeFolder(folder + SavingFolder);
        } catch (const QuillError &error) {
            throw failed(error.message());
        }
        QTemporaryFile file(folder + SavingFolder + QStringLiteral("XXXXXX"));
        file.setAutoRemove(false);
        if (!file.open())
            throw failed(file.errorString());
        temp_ = file.fileName();
        errno = 0;
        const bool written = file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
        const int writeErrno = errno != 0 ? errno : ENOSPC;
        // Readable by everyone like any file the program writes, not only by its owner.
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                            | QFileDevice::ReadOther);
        file.close();
        if (!written) {
            QFile::remove(temp_);
            throw failed(platformReason(writeErrno));
        }
    }
    ~StagedFile()
    {
        if (!temp_.isEmpty())
            QFile::remove(temp_);
    }
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    void renameIntoPlace()
    {
        if (!renameFile(temp_, target_))
            throw QuillError(QStringLiteral("Cannot write file \"%1\". %2").arg(target_, platformReason(errno)));
        temp_.clear();
    }
    // Left for the next start, which renames it into place.
    void keep() { temp_.clear(); }

private:
    QString target_;
    QString temp_;
};

// The sprite file digest a sheet names, if it names one.
std::optional<QString> sheetDigest(const QString &sheetPath)
{
    try {
        const std::unique_ptr<QFile> file = openRegularFile(sheetPath, sheetPath);
        QImageReader reader(file.get(), "png");
        const QString digest = reader.text(SheetSpriteKey);
        if (digest.isEmpty())
            return std::nullopt;
        return digest;
    } catch (const QuillError &) {
        return std::nullopt;
    }
}

// The digest of a file's bytes; nothing when it cannot be read or is larger
// than any sprite file.
std::optional<QString> fileDigest(const QString &path)
{
    try {
        return spriteFileDigest(readRegularFile(path, path, LargestSpriteFileSize));
    } catch (const QuillError &) {
        return std::nullopt;
    }
}

// The sprite files of saves cut short, by their digest.
std::map<QString, QString> pendingSpriteFiles(const QString &spriteDir)
{
    std::map<QString, QString> pending;
    const QString folder = spriteDir + SavingFolder;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (const std::optional<QString> digest = fileDigest(folder + name))
            pending.emplace(*digest, folder + name);
    return pending;
}

// Renames the pending sprite file with that digest over spriteDir + name.
bool completeSave(const std::map<QString, QString> &pending, const QString &digest,
                  const QString &spriteDir, const QString &name)
{
    const auto found = pending.find(digest);
    if (found == pending.end() || !renameFile(found->second, spriteDir + name))
        return false;
    syncFolder(spriteDir);
    return true;
}

void removeSavingFolder(const QString &folder)
{
    QDir saving(folder + SavingFolder);
    if (!saving.exists())
        return;
    for (const QString &name : saving.entryList(QDir::Files | QDir::Hidden | QDir::System))
        saving.remove(name);
    QDir(folder).rmdir(SavingFolder);
}

} // namespace

QString spriteFileDigest(const QByteArray &spriteFileBytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(spriteFileBytes, QCryptographicHash::Sha1).toHex());
}

QByteArray encodeSpriteSheet(const SpriteDocument &document, const Palette &palette)
{
    QImage sheet = buildSpriteSheet(document, palette);
    sheet.setText(SheetSpriteKey, spriteFileDigest(document.fileBytes()));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // Qt's PNG writer takes a quality 0 to 100 and turns it into the zlib
    // level (100 - quality) x 9 / 91.
    const int quality = 100 - (SheetCompressionLevel * 91 + 8) / 9;
    sheet.save(&buffer, "PNG", quality);
    return png;
}

void saveSprite(const SpriteDocument &document, const Palette &palette,
                const QString &spriteDir, const QString &imageDir, const QString &name)
{
    checkFileName(name);
    const QString sheetName = name + QStringLiteral(".png");
    if (QFile::encodeName(sheetName).size() > LongestFileName)
        throw QuillError(QStringLiteral("File name too long."));

    // Runs last, once the pending files are renamed or removed: their folders
    // go when empty (a sprite file kept for the next start keeps its own).
    struct TidyFolders {
        const QString &spriteDir, &imageDir;
        ~TidyFolders()
        {
            QDir(spriteDir).rmdir(SavingFolder);
            QDir(imageDir).rmdir(SavingFolder);
        }
    } tidy{spriteDir, imageDir};
    StagedFile sprite(spriteDir, spriteDir + name, document.fileBytes());
    StagedFile sheet(imageDir, imageDir + sheetName, encodeSpriteSheet(document, palette));
    // The sheet first: until the sprite file follows, the old sprite file
    // stands beside a sheet that names the new one, and the new one waits
    // under its temporary name to be completed.
    sheet.renameIntoPlace();
    syncFolder(imageDir);
    try {
        sprite.renameIntoPlace();
    } catch (const QuillError &) {
        sprite.keep();
        throw;
    }
    syncFolder(spriteDir);
}

SpriteFileContent openSprite(const QString &spriteDir, const QString &name)
{
    checkFileName(name);
    return readSpriteFile(spriteDir + name, name);
}

std::optional<QString> checkSpritePair(const QString &spriteDir, const QString &imageDir,
                                       const QString &name)
{
    const std::optional<QString> wanted = sheetDigest(imageDir + name + QStringLiteral(".png"));
    if (!wanted || fileDigest(spriteDir + name) == wanted)
        return std::nullopt;
    if (completeSave(pendingSpriteFiles(spriteDir), *wanted, spriteDir, name))
        return std::nullopt;
    return spritePairMismatch(name);
}

QString spritePairMismatch(const QString &name)
{
    return QStringLiteral("Sprite %1 and its sheet %1.png do not match.").arg(name);
}

QStringList settleSpriteSaves(const QString &spriteDir, const QString &imageDir)
{
    QStringList failed;
    const std::map<QString, QString> pending = pendingSpriteFiles(spriteDir);
    if (!pending.empty()) {
        const QString sheetEnd = QStringLiteral(".png");
        for (const QString &sheetName : ListFiles(imageDir)) {
            if (!sheetName.endsWith(sheetEnd))
                continue;
            const std::optional<QString> wanted = sheetDigest(imageDir + sheetName);
            if (!wanted || !pending.contains(*wanted))
                continue;
            const QString name = sheetName.chopped(sheetEnd.size());
            if (fileDigest(spriteDir + name) != wanted && !completeSave(pending, *wanted, spriteDir, name))
                failed.append(name);
        }
    }
    // What is left belongs to saves cut short before their sheet: the old pair stands.
    removeSavingFolder(spriteDir);
    removeSavingFolder(imageDir);
    return failed;
}

} // namespace quill
