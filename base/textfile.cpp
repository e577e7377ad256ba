#include "base/textfile.h"

#include "base/filereader.h"
#include "base/quillerror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

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
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            text[i] = QChar::ReplacementCharacter;
            malformed = true;
        }
    }
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

QByteArray encodeLinesOf(QStringView text, TextEncoding encoding)
{
    const bool eightBit = encoding == TextEncoding::Local8Bit || encoding == TextEncoding::Utf8Bom
                          || encoding == TextEncoding::Latin1;
    if (!eightBit)
        return encodeText(splitLines(text), encoding);
    // The text is encoded whole (a line end stays one byte of its own in
    // these encodings); then, when no line ends with CR, every LF is widened
    // to CR LF in place, from the back, in room left after the bytes.
    const QByteArray mark = byteOrderMark(encoding);
    QStringEncoder encoder(converterOf(encoding));
    QByteArray bytes(mark.size() + encoder.requiredSpace(text.size()) + 1, Qt::Uninitialized);
    char *const body = std::copy(mark.cbegin(), mark.cend(), bytes.data());
    char *encodedEnd = encoder.appendToBuffer(body, text);
    if (std::memchr(body, '\r', std::size_t(encodedEnd - body)) != nullptr)
        return encodeText(splitLines(text), encoding);
    if (encodedEnd != body && encodedEnd[-1] != '\n')
        *encodedEnd++ = '\n';
    const qsizetype lineEnds = std::count(static_cast<const char *>(body), static_cast<const char *>(encodedEnd), '\n');
    const qsizetype encoded = encodedEnd - bytes.constData();
    bytes.resize(encoded + lineEnds);
    char *const start = bytes.data() + mark.size();
    char *from = start + (encoded - mark.size());
    char *to = from + lineEnds;
    while (from != start) {
        const char *lf = static_cast<const char *>(memrchr(start, '\n', std::size_t(from - start)));
        const char *segment = lf ? lf + 1 : start;
        const std::size_t length = std::size_t(from - segment);
        to -= length;
        std::memmove(to, segment, length);
        if (!lf)
            break;
        *--to = '\n';
        *--to = '\r';
        from = const_cast<char *>(lf);
    }
    return bytes;
}

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

void writeBinaryFile(const QString &path, const QByteArray &bytes)
{
    PendingFile file(path);
    file.write(bytes);
    file.commit();
}

void replaceFile(const QString &path, const QByteArray &bytes)
{
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open())
        throw QuillError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    errno = 0;
    const bool written = file.write(bytes) == bytes.size() && file.flush();
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

} // namespace quill
