#include "builder/ziparchive.h"

#include "base/quillerror.h"

#include <zip.h>

#include <memory>

namespace quill {

namespace {

// zlib's own default: the size of level 9 within a fraction of a percent for
// scripts and already packed images and sounds, at a fraction of its time.
constexpr zip_uint32_t DeflateLevel = 6;

struct SourceFree {
    void operator()(zip_source_t *source) const { zip_source_free(source); }
};
using SourceHandle = std::unique_ptr<zip_source_t, SourceFree>;

// The archive is written into `buffer` when closed; until then discard frees it.
struct ArchiveDiscard {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using ArchiveHandle = std::unique_ptr<zip_t, ArchiveDiscard>;

[[noreturn]] void fail(const QString &what, zip_error_t *error)
{
    throw QuillError(QStringLiteral("Cannot write the archive. %1: %2")
                         .arg(what, QString::fromLocal8Bit(zip_error_strerror(error))));
}

} // namespace

QByteArray zipArchive(const std::vector<ArchiveEntry> &entries)
{
    zip_error_t error;
    zip_error_init(&error);
    // The buffer source keeps the written archive after close; it is kept
    // alive by the extra reference until its bytes are copied out.
    SourceHandle buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!buffer)
        fail(QStringLiteral("buffer"), &error);
    zip_source_keep(buffer.get());
    ArchiveHandle archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
    if (!archive) {
        zip_source_free(buffer.get());  // the reference the failed open did not take over
        fail(QStringLiteral("open"), &error);
    }

    for (const ArchiveEntry &entry : entries) {
        zip_source_t *data =
            zip_source_buffer(archive.get(), entry.bytes.constData(),
                              static_cast<zip_uint64_t>(entry.bytes.size()), 0);
        if (!data)
            fail(entry.name, zip_get_error(archive.get()));
        const QByteArray name = entry.name.toUtf8();
        const zip_int64_t index =
            zip_file_add(archive.get(), name.constData(), data, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(data);
            fail(entry.name, zip_get_error(archive.get()));
        }
        const auto at = static_cast<zip_uint64_t>(index);
        if (zip_set_file_compression(archive.get(), at, ZIP_CM_DEFLATE, DeflateLevel) < 0)
            fail(entry.name, zip_get_error(archive.get()));
        if (entry.modified.isValid()
            && zip_file_set_mtime(archive.get(), at,
                                  static_cast<time_t>(entry.modified.toSecsSinceEpoch()), 0) < 0)
            fail(entry.name, zip_get_error(archive.get()));
    }

    if (zip_close(archive.get()) < 0)
        fail(QStringLiteral("close"), zip_get_error(archive.get()));
    archive.release();  // closed: nothing left to discard

    zip_stat_t stat;
    if (zip_source_stat(buffer.get(), &stat) < 0 || zip_source_open(buffer.get()) < 0)
        fail(QStringLiteral("read back"), zip_source_error(buffer.get()));
    QByteArray bytes(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
    const zip_int64_t read =
        zip_source_read(buffer.get(), bytes.data(), static_cast<zip_uint64_t>(bytes.size()));
    zip_source_close(buffer.get());
    if (read != static_cast<zip_int64_t>(bytes.size()))
        fail(QStringLiteral("read back"), zip_source_error(buffer.get()));
    return bytes;
}

} // namespace quill
