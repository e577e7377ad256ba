#include "app/textfile.h"

#include "app/quillerror.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace quill {

namespace {

const QByteArray Utf8Mark("\xEF\xBB\xBF", 3);
const QByteArray Utf16LEMark("\xFF\xFE", 2);
const QByteArray Utf16BEMark("\xFE\xFF", 2);

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
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

TextDocument decodeText(const QByteArray &bytes)
{
    TextDocument document;
    QString text;
    if (bytes.startsWith(Utf8Mark)) {
        document.encoding = TextEncoding::Utf8Bom;
        text = decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    } else if (bytes.startsWith(Utf16LEMark)) {
        document.encoding = TextEncoding::Utf16LE;
        text = decodeWith(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith(Utf16BEMark)) {
        document.encoding = TextEncoding::Utf16BE;
        text = decodeWith(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2));
    } else {
        text = QString::fromLocal8Bit(bytes);
    }
    document.lines = splitLines(text);
    return document;
}

QByteArray encodeText(const QStringList &lines, TextEncoding encoding)
{
    QString text;
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
    case TextEncoding::Local8Bit:
        break;
    }
    return text.toLocal8Bit();
}

TextDocument readTextFile(const QString &path)
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
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw QuillError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, file.errorString()));
}

} // namespace quill
