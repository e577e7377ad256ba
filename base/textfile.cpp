#include "base/textfile.h"

#include "base/filereader.h"
#include "base/quillerror.h"
#include "base/wholecharacters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <span>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quill {

namespace {


// The mark has been taken off already: a U+FEFF that follows it is a
// character of the text and is kept.
QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes, bool &malformed)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless
                                         | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    malformed = malformed || decoder.hasError();
    return text;
}

// UTF-16 text whose bytes do not pair up, or whose surrogates stand alone,
// is not what any editor wrote: the stray units become replacement
// characters so that no command ever meets half a character.
QString decodeUtf16(QStringConverter::Encoding encoding, QByteArrayView bytes, bool &malformed)
{
    if (bytes.size() % 2 != 0)
        malformed = true;
    QString text = decodeWith(encoding, bytes, malformed);
    if (bytes.size() % 2 != 0 && !text.endsWith(QChar::ReplacementCharacter))
        text += QChar::ReplacementCharacter;
    if (replaceLoneSurrogates(text))
        malformed = true;
    return text;
}

// The platform's reason for the last failed write. QSaveFile records no
// error when write() stored fewer bytes than asked (a full disk), so the
// reason is then taken from errno of the failed write itself.
QString writeFailure(const QFileDevice &file, int writeErrno)
{
    if (file.error() != QFileDevice::NoError && !file.errorString().isEmpty()
        && file.errorString() != QLatin1String("Unknown error"))
        return file.errorString();
    return QString::fromLocal8Bit(std::strerror(writeErrno != 0 ? writeErrno : ENOSPC));
}

} // namespace

QStringList splitLines(QStringView text)
{
    // Line ends are found with indexOf, which scans many characters at a
    // time; the next CR is looked for again only once it has been passed.
    QStringList lines;
    const qsizetype size = text.size();
    qsizetype start = 0;
    qsizetype nextCr = text.indexOf(u'\r');
    while (start < size) {
        if (nextCr >= 0 && nextCr < start)
            nextCr = text.indexOf(u'\r', start);
        const qsizetype nextLf = text.indexOf(u'\n', start);
        qsizetype end = nextLf < 0 ? nextCr : (nextCr < 0 ? nextLf : std::min(nextLf, nextCr));
        if (end < 0) {
            lines.append(text.sliced(start).toString());
            break;
        }
        lines.append(text.sliced(start, end - start).toString());
        if (text[end] == u'\r' && end + 1 < size && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

qsizetype countLines(QStringView text)
{
    const char16_t *const begin = text.utf16();
    const char16_t *const end = begin + text.size();
    qsizetype lines = 0;
    const char16_t *c = begin;
#if defined(__SSE2__)
    // Line feeds eight at a time; the first CR sends the rest to the loop
    // below, which tells CR LF from a lone CR.
    const __m128i lf = _mm_set1_epi16('\n');
    const __m128i cr = _mm_set1_epi16('\r');
    for (; end - c >= 8; c += 8) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(c));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(chars, cr)) != 0)
            break;
        lines += __builtin_popcount(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(chars, lf)))) / 2;
    }
#endif
    for (; c != end; ++c) {
        if (*c == u'\n')
            ++lines;
        else if (*c == u'\r' && (c + 1 == end || c[1] != u'\n'))
            ++lines;
    }
    if (!text.isEmpty() && text.back() != u'\n' && text.back() != u'\r')
        ++lines;
    return lines;
}

TextFileContent decodeText(const QByteArray &bytes)
{
    TextFileContent content;
    QString text;
    if (bytes.startsWith(byteOrderMark(TextEncoding::Utf8Bom))) {
        content.encoding = TextEncoding::Utf8Bom;
        text = decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3), content.malformed);
    } else if (bytes.startsWith(byteOrderMark(TextEncoding::Utf16LE))) {
        content.encoding = TextEncoding::Utf16LE;
        text = decodeUtf16(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2), content.malformed);
    } else if (bytes.startsWith(byteOrderMark(TextEncoding::Utf16BE))) {
        content.encoding = TextEncoding::Utf16BE;
        text = decodeUtf16(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2), content.malformed);
    } else {
        bool notUtf8 = false;
        text = decodeWith(QStringConverter::Utf8, bytes, notUtf8);
        if (notUtf8) {
            content.encoding = TextEncoding::Latin1;
            text = QString::fromLatin1(bytes);
        }
    }
    content.lines = splitLines(text);
    return content;
}

QByteArray byteOrderMark(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom: return QByteArray("\xEF\xBB\xBF", 3);
    case TextEncoding::Utf16LE: return QByteArray("\xFF\xFE", 2);
    case TextEncoding::Utf16BE: return QByteArray("\xFE\xFF", 2);
    case TextEncoding::Latin1:
    case TextEncoding::Local8Bit: break;
    }
    return QByteArray();
}

bool isEightBit(TextEncoding encoding)
{
    return encoding != TextEncoding::Utf16LE && encoding != TextEncoding::Utf16BE;
}

QStringConverter::Encoding converterOf(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf16LE: return QStringConverter::Utf16LE;
    case TextEncoding::Utf16BE: return QStringConverter::Utf16BE;
    case TextEncoding::Latin1: return QStringConverter::Latin1;
    case TextEncoding::Utf8Bom:
    case TextEncoding::Local8Bit: break;
    }
    return QStringConverter::Utf8;
}

QByteArray encodeText(const QStringList &lines, TextEncoding encoding)
{
    const QByteArray mark = byteOrderMark(encoding);
    // Encoded line by line straight into one buffer: no copy of the whole
    // text as one string on the way.
    QStringEncoder encoder(converterOf(encoding));
    qsizetype space = mark.size();
    for (const QString &line : lines)
        space += encoder.requiredSpace(line.size() + 2);
    QByteArray bytes(space, Qt::Uninitialized);
    char *out = bytes.data();
    out = std::copy(mark.cbegin(), mark.cend(), out);
    static const QString LineEnd = QStringLiteral("\r\n");
    for (const QString &line : lines) {
        out = encoder.appendToBuffer(out, line);
        out = encoder.appendToBuffer(out, LineEnd);
    }
    bytes.truncate(out - bytes.data());
    return bytes;
}

namespace {

// Copies bytes with every LF widened to CR LF.
char *copyWideningLineEnds(const char *from, const char *end, char *to)
{
    while (from != end) {
        const char *lf = static_cast<const char *>(std::memchr(from, '\n', std::size_t(end - from)));
        const char *stop = lf ? lf : end;
        to = std::copy(from, stop, to);
        if (!lf)
            break;
        *to++ = '\r';
        *to++ = '\n';
        from = lf + 1;
    }
    return to;
}

// The text that is the pieces one after another, encoded a chunk at a time
// into a buffer small enough to stay in the cache and handed to `out` with
// its LFs widened to CR LF: one pass over the text, however long the page.
// False when the text holds a CR, which only the long way (encodeText of its
// lines) tells apart from a CR LF, as it does for an encoding of more than 8
// bits; `out` may have had some of the bytes then.
bool encodeInChunks(std::span<const QStringView> pieces, TextEncoding encoding,
                    const std::function<void(QByteArrayView)> &out)
{
    if (!isEightBit(encoding))
        return false;
    constexpr qsizetype ChunkChars = 16384;
    QStringEncoder encoder(converterOf(encoding));
    std::vector<char> chunk(std::size_t(encoder.requiredSpace(ChunkChars + 1)));
    // Every byte a line end at worst, and the line end added at the end.
    std::vector<char> widened(2 * chunk.size() + 2);
    out(byteOrderMark(encoding));
    char lastByte = '\n';
    bool empty = true;
    for (const QStringView piece : pieces) {
        for (qsizetype at = 0; at < piece.size();) {
            qsizetype length = std::min(ChunkChars, piece.size() - at);
            // A surrogate pair is encoded in one chunk (from one piece to the
            // next, the encoder keeps the first half).
            if (splitsPair(piece, at + length))
                ++length;
            at += length;
            const char *const chunkEnd = encoder.appendToBuffer(chunk.data(), piece.sliced(at - length, length));
            if (chunkEnd == chunk.data())
                continue;
            if (std::memchr(chunk.data(), '\r', std::size_t(chunkEnd - chunk.data())) != nullptr)
                return false;
            const char *const widenedEnd = copyWideningLineEnds(chunk.data(), chunkEnd, widened.data());
            out(QByteArrayView(widened.data(), widenedEnd - widened.data()));
            lastByte = chunkEnd[-1];
            empty = false;
        }
    }
    if (!empty && lastByte != '\n')
        out("\r\n");
    return true;
}

// The pieces put together, as lines.
QStringList linesOfPieces(std::span<const QStringView> pieces)
{
    QString whole;
    for (const QStringView piece : pieces)
        whole += piece;
    return splitLines(whole);
}

// Writes a file under a temporary name beside it and renames it into place.
// `write` returns false when a write failed, with errno telling why.
void replaceFileWith(const QString &path, const std::function<bool(QFile &)> &write)
{
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open())
        throw QuillError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    errno = 0;
    const bool written = write(file) && file.flush();
    const int writeErrno = errno;
    if (!written)
        throw QuillError(QStringLiteral("Cannot write file \"%1\". %2")
                             .arg(path, writeFailure(file, writeErrno)));
    // Readable by everyone like any file the program writes, not only by its owner.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        throw QuillError(QStringLiteral("Cannot write file \"%1\". %2")
                             .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    file.setAutoRemove(false);
}

} // namespace

bool canEncode(const QStringList &lines, TextEncoding encoding)
{
    if (encoding != TextEncoding::Latin1)
        return true;
    for (const QString &line : lines)
        for (const QChar c : line)
            if (c.unicode() > 0xFF)
                return false;
    return true;
}

TextFileContent readTextFile(const QString &path)
{
    return decodeText(readBinaryFile(path));
}

QByteArray readBinaryFile(const QString &path, const std::function<void(QByteArrayView)> &readSoFar)
{
    return readRegularFile(path, QFileInfo(path).fileName(), TextFileLimit, readSoFar);
}

void writeTextFile(const QString &path, const QStringList &lines, TextEncoding encoding)
{
    writeBinaryFile(path, encodeText(lines, encoding));
}

PendingFile::PendingFile(const QString &path) : file_(path), path_(path)
{
    if (!file_.open(QIODevice::WriteOnly))
        throw QuillError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file_.errorString()));
}

void PendingFile::write(QByteArrayView bytes)
{
    errno = 0;
    if (file_.write(bytes.data(), bytes.size()) != bytes.size())
        failed(errno);
}

void PendingFile::commit()
{
    // flush first: commit() can report success after a buffered write failed on a full disk.
    errno = 0;
    const bool flushed = file_.flush();
    const int writeErrno = errno;
    if (!flushed || !file_.commit())
        failed(writeErrno);
}

void PendingFile::failed(int writeErrno)
{
    const QString reason = writeFailure(file_, writeErrno);
    file_.cancelWriting();
    throw QuillError(QStringLiteral("Cannot write file \"%1\". %2").arg(path_, reason));
}

void makeFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    for (qsizetype at = clean.startsWith(u'/') ? 1 : 0;;) {
        const qsizetype slash = clean.indexOf(u'/', at);
        const QByteArray part = QFile::encodeName(slash < 0 ? clean : clean.left(slash));
        if (!part.isEmpty() && ::mkdir(part.constData(), 0777) != 0) {
            // One that is there already (perhaps where nothing may be made)
            // is fine when it is a folder.
            const int error = errno;
            struct stat info {};
            const bool there = ::stat(part.constData(), &info) == 0;
            if (!there || !S_ISDIR(info.st_mode))
                throw QuillError(QStringLiteral("Cannot create folder \"%1\". %2")
                                     .arg(folder, QString::fromLocal8Bit(std::strerror(there ? ENOTDIR : error))));
        }
        if (slash < 0)
            return;
        at = slash + 1;
    }
}

void writeBinaryFile(const QString &path, const QByteArray &bytes)
{
    PendingFile file(path);
    file.write(bytes);
    file.commit();
}

void replaceFile(const QString &path, const QByteArray &bytes)
{
    replaceFileWith(path, [&](QFile &file) { return file.write(bytes) == bytes.size(); });
}

void replaceFileWithLines(const QString &path, const QStringList &pieces, TextEncoding encoding)
{
    const std::vector<QStringView> views(pieces.cbegin(), pieces.cend());
    replaceFileWith(path, [&](QFile &file) {
        bool written = true;
        const auto out = [&](QByteArrayView bytes) {
            written = written && file.write(bytes.data(), bytes.size()) == bytes.size();
        };
        if (encodeInChunks(views, encoding, out))
            return written;
        // Begun the short way: the long way writes the file afresh.
        const QByteArray bytes = encodeText(linesOfPieces(views), encoding);
        return file.seek(0) && file.resize(0) && file.write(bytes) == bytes.size();
    });
}

} // namespace quill
