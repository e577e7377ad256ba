#include "app/base/textfile.h"

#include "app/base/quillerror.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <cstring>

namespace quill {

namespace {

const QByteArray Utf8Mark("\xEF\xBB\xBF", 3);
const QByteArray Utf16LEMark("\xFF\xFE", 2);
const QByteArray Utf16BEMark("\xFE\xFF", 2);

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes, bool &malformed)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
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
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start).toString());
    return lines;
}

TextFileContent decodeText(const QByteArray &bytes)
{
    TextFileContent content;
    QString text;
    if (bytes.startsWith(Utf8Mark)) {
        content.encoding = TextEncoding::Utf8Bom;
        text = decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3), content.malformed);
    } else if (bytes.startsWith(Utf16LEMark)) {
        content.encoding = TextEncoding::Utf16LE;
        text = decodeUtf16(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2), content.malformed);
    } else if (bytes.startsWith(Utf16BEMark)) {
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

QByteArray encodeText(const QStringList &lines, TextEncoding encoding)
{
    QString text;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    switch (encoding) {
    case TextEncoding::Utf8Bom:
        return Utf8Mark + text.toUtf8();
    case TextEncoding::Utf16LE: {
        QStringEncoder encoder(QStringConverter::Utf16LE);
        return Utf16LEMark + QByteArray(encoder.encode(text));
    }
    case TextEncoding::Utf16BE: {
        QStringEncoder encoder(QStringConverter::Utf16BE);
        return Utf16BEMark + QByteArray(encoder.encode(text));
    }
    case TextEncoding::Latin1:
        return text.toLatin1();
    case TextEncoding::Local8Bit:
        break;
    }
    return text.toUtf8();
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw QuillError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw QuillError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
    return decodeText(bytes);
}

void writeTextFile(const QString &path, const QStringList &lines, TextEncoding encoding)
{
    writeBinaryFile(path, encodeText(lines, encoding));
}

void writeBinaryFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw QuillError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    // flush first: commit() can report success after a buffered write failed on a full disk.
    errno = 0;
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const int writeErrno = errno;
    if (!written || !file.commit())
        throw QuillError(QStringLiteral("Cannot write file \"%1\". %2")
                             .arg(path, writeFailure(file, writeErrno)));
}

} // namespace quill
