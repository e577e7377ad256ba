#include "builder/ziparchive.h"

#include "base/filereader.h"
#include "base/quillerror.h"

#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace quill {

namespace {

// zlib's own default: the size of level 9 within a fraction of a percent for
// scripts and already packed images and sounds, at a fraction of its time.
constexpr zip_uint32_t DeflateLevel = 6;

// The archive is written to its file when closed; until then discard drops it.
struct ArchiveDiscard {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ArchiveHandle = std::unique_ptr<zip_t, ArchiveDiscard>;

[[noreturn]] void fail(const QString &what, zip_error_t *error)
{
    throw QuillError(QStringLiteral("Cannot write the archive. %1: %2")
                         .arg(what, QString::fromLocal8Bit(zip_error_strerror(error))));
}

// A member's bytes for libzip, read from its file when libzip asks for
// them: the file is opened at the first question about it and closed as
// soon as its bytes are in, so one file is open at a time. Only as many bytes
// as the file held when opened are read, should it grow meanwhile.
class MemberSource {
public:
    explicit MemberSource(const ArchiveMember &member) : member_(member)
    {
        zip_error_init(&error_);
    }
    ~MemberSource() { zip_error_fini(&error_); }

    // Why the last command failed, when the file was the cause.
    const QString &failure() const { return failure_; }

    static zip_int64_t command(void *source, void *data, zip_uint64_t length, zip_source_cmd_t cmd)
    {
        return static_cast<MemberSource *>(source)->answer(data, length, cmd);
    }

private:
    zip_int64_t answer(void *data, zip_uint64_t length, zip_source_cmd_t cmd)
    {
        switch (cmd) {
        case ZIP_SOURCE_OPEN:
            return ensureOpen() ? 0 : -1;
        case ZIP_SOURCE_STAT: {
            if (!ensureOpen())
                return -1;
            auto *stat = static_cast<zip_stat_t *>(data);
            zip_stat_init(stat);
            stat->size = static_cast<zip_uint64_t>(size_);
            stat->mtime = modified_;
            stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_READ: {
            const qint64 wanted = std::min<qint64>(static_cast<qint64>(length), size_ - read_);
            if (wanted <= 0)
                return 0;
            const qint64 got = file_->read(static_cast<char *>(data), wanted);
            if (got <= 0) {
                failure_ = QStringLiteral("Cannot read file \"%1\". %2")
                               .arg(member_.sourcePath,
                                    got < 0 ? file_->errorString() : QStringLiteral("It became shorter."));
                zip_error_set(&error_, ZIP_ER_READ, 0);
                return -1;
            }
            read_ += got;
            return got;
        }
        case ZIP_SOURCE_CLOSE:
            file_.reset();
            done_ = true;
            return 0;
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error_, data, length);
        case ZIP_SOURCE_FREE:
            return 0;  // owned by writeZipArchive
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_READABLE;
        default:
            zip_error_set(&error_, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    bool ensureOpen()
    {
        if (file_)
            return true;
        if (done_) {
            // Asked again after its bytes were in (a second pass): start over.
            done_ = false;
            read_ = 0;
        }
        try {
            file_ = openRegularFile(member_.sourcePath, member_.sourceName);
            checkFileSize(*file_, member_.sourceName, ResourceFileLimit);
        } catch (const QuillError &error) {
            file_.reset();
            failure_ = error.message();
            zip_error_set(&error_, ZIP_ER_OPEN, 0);
            return false;
        }
        struct stat info {};
        ::fstat(file_->handle(), &info);
        size_ = info.st_size;
        modified_ = info.st_mtime;
        return true;
    }

    ArchiveMember member_;
    std::unique_ptr<QFile> file_;
    qint64 size_ = 0;
    qint64 read_ = 0;
    time_t modified_ = 0;
    bool done_ = false;
    zip_error_t error_;
    QString failure_;
};

// The archive's bytes on the disk before the rename is reported done.
void syncToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    const int folder =
        ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace

void writeZipArchive(const QString &path, const std::vector<ArchiveMember> &members)
{
    std::vector<std::unique_ptr<MemberSource>> sources;
    sources.reserve(members.size());
    int error = 0;
    // ZIP_TRUNCATE: an earlier archive is not read, and stays whole until
    // the new one, written beside it, is renamed over it on close.
    ArchiveHandle archive(zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!archive) {
        zip_error_t opening;
        zip_error_init_with_code(&opening, error);
        const QString reason = QString::fromLocal8Bit(zip_error_strerror(&opening));
        zip_error_fini(&opening);
        throw QuillError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
    }

    for (const ArchiveMember &member : members) {
        sources.push_back(std::make_unique<MemberSource>(member));
        zip_source_t *data = zip_source_function(archive.get(), &MemberSource::command,
                                                 sources.back().get());
        if (!data)
            fail(member.name, zip_get_error(archive.get()));
        const QByteArray name = member.name.toUtf8();
        const zip_int64_t index = zip_file_add(archive.get(), name.constData(), data, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(data);
            fail(member.name, zip_get_error(archive.get()));
        }
        if (zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                     DeflateLevel) < 0)
            fail(member.name, zip_get_error(archive.get()));
    }

    if (zip_close(archive.get()) < 0) {
        // A file that could not be read is told in its own words.
        for (const std::unique_ptr<MemberSource> &source : sources)
            if (!source->failure().isEmpty())
                throw QuillError(source->failure());
        const zip_error_t *closing = zip_get_error(archive.get());
        const QString reason = QString::fromLocal8Bit(zip_error_strerror(const_cast<zip_error_t *>(closing)));
        throw QuillError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason));
    }
    archive.release();  // closed: nothing left to discard
    syncToDisk(path);
}

} // namespace quill
