#include "editor/codefiles.h"

#include "app/base/filename.h"
#include "app/base/namecompare.h"
#include "editor/codebuffer.h"

#include <QDir>

namespace quill {

QStringList ListFiles(const QString &directory)
{
    QStringList names = QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System);
    sortNames(names);
    return names;
}

namespace {


bool sixteenBits(QByteArrayView bytes)
{
    return bytes.startsWith(byteOrderMark(TextEncoding::Utf16LE))
        || bytes.startsWith(byteOrderMark(TextEncoding::Utf16BE));
}

// Text of 16 bits is decoded whole, as is damaged UTF-8 after a mark (its
// replacement characters are part of the text).
CodeFileContent decodeWhole(const QByteArray &bytes)
{
    TextFileContent content = decodeText(bytes);
    return CodeFileContent{CodeText(content.lines), content.encoding, content.malformed};
}

// 8-bit text whose blocks of lines after the mark (if any) have been found.
CodeFileContent decodeScanned(QByteArray bytes, const LineBlocks &blocks)
{
    const QByteArray Utf8Mark = byteOrderMark(TextEncoding::Utf8Bom);
    const bool marked = bytes.startsWith(Utf8Mark);
    const qsizetype start = marked ? Utf8Mark.size() : 0;
    if (blocks.ascii || QByteArrayView(bytes).sliced(start).isValidUtf8())
        return {CodeText::fromBytes(std::move(bytes), start, CodeText::Bytes::Utf8, blocks),
                marked ? TextEncoding::Utf8Bom : TextEncoding::Local8Bit, false};
    if (marked)
        return decodeWhole(bytes);
    // Not UTF-8: an older 8-bit file, kept byte for byte.
    return {CodeText::fromBytes(std::move(bytes), 0, CodeText::Bytes::Latin1, blocks),
            TextEncoding::Latin1, false};
}

} // namespace

CodeFileContent decodeCodeFile(QByteArray bytes)
{
    const QByteArray Utf8Mark = byteOrderMark(TextEncoding::Utf8Bom);
    if (sixteenBits(bytes))
        return decodeWhole(bytes);
    const qsizetype start = bytes.startsWith(Utf8Mark) ? Utf8Mark.size() : 0;
    const LineBlocks blocks = scanLineBlocks(QByteArrayView(bytes).sliced(start), CodeText::BlockLines);
    return decodeScanned(std::move(bytes), blocks);
}

CodeFileContent readCodeFile(const QString &path)
{
    // The lines are found piece by piece as the file comes in, once the
    // first bytes have told whether there is a mark.
    const QByteArray Utf8Mark = byteOrderMark(TextEncoding::Utf8Bom);
    LineScanner scanner(CodeText::BlockLines);
    qsizetype start = -1;
    const auto markKnown = [&](QByteArrayView bytes, bool whole) {
        if (start < 0 && (bytes.size() >= Utf8Mark.size() || whole))
            start = bytes.startsWith(Utf8Mark) ? Utf8Mark.size() : sixteenBits(bytes) ? -2 : 0;
        return start >= 0;
    };
    QByteArray bytes = readBinaryFile(path, [&](QByteArrayView readSoFar) {
        if (markKnown(readSoFar, false))
            scanner.scan(readSoFar.sliced(start));
    });
    if (!markKnown(bytes, true))
        return decodeWhole(bytes);
    const LineBlocks blocks = scanner.finish(QByteArrayView(bytes).sliced(start));
    return decodeScanned(std::move(bytes), blocks);
}

QString CodeFiles::damagedWarning()
{
    return QStringLiteral("Damaged characters in this file were replaced.");
}

std::optional<QString> CodeFiles::open(const QString &name, CodeBuffer &buffer)
{
    checkFileName(name);
    CodeFileContent content = readCodeFile(codeDir_ + name);
    buffer.loadText(std::move(content.text));
    encoding_ = content.encoding;
    if (content.malformed)
        return damagedWarning();
    return std::nullopt;
}

QString CodeFiles::save(const QString &name, CodeBuffer &buffer)
{
    checkFileName(name);
    const bool fits = buffer.text().fits(encoding_);
    const TextEncoding encoding = fits ? encoding_ : TextEncoding::Utf8Bom;
    writeBinaryFile(codeDir_ + name, buffer.text().encoded(encoding));
    encoding_ = encoding;
    buffer.setCodeModified(false);
    return fits ? QStringLiteral("Saved.") : QStringLiteral("Saved as UTF-8.");
}

} // namespace quill
