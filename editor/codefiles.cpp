#include "editor/codefiles.h"

#include "base/filename.h"
#include "base/replacequestion.h"
#include "editor/codebuffer.h"

namespace quill {

namespace {

// Where 8-bit text begins after its mark (if any); nothing for 16-bit text.
std::optional<qsizetype> eightBitStart(QByteArrayView bytes)
{
    if (bytes.startsWith(byteOrderMark(TextEncoding::Utf16LE))
        || bytes.startsWith(byteOrderMark(TextEncoding::Utf16BE)))
        return std::nullopt;
    const QByteArray mark = byteOrderMark(TextEncoding::Utf8Bom);
    return bytes.startsWith(mark) ? mark.size() : 0;
}

// Text of 16 bits is decoded whole, as is damaged UTF-8 after a mark (its
// replacement characters are part of the text).
CodeFileContent decodeWhole(const QByteArray &bytes)
{
    TextFileContent content = decodeText(bytes);
    return CodeFileContent{CodeText(content.lines), content.encoding, content.malformed};
}

// 8-bit text beginning at start (after the UTF-8 mark, if any), whose blocks
// of lines have been found.
CodeFileContent decodeScanned(QByteArray bytes, qsizetype start, const LineBlocks &blocks)
{
    const bool marked = start > 0;
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
    const std::optional<qsizetype> start = eightBitStart(bytes);
    if (!start)
        return decodeWhole(bytes);
    const LineBlocks blocks = scanLineBlocks(QByteArrayView(bytes).sliced(*start), CodeText::BlockLines);
    return decodeScanned(std::move(bytes), *start, blocks);
}

CodeFileContent readCodeFile(const QString &path)
{
    // The lines are found piece by piece as the file comes in, once the
    // first bytes have told whether there is a mark (three bytes at most).
    LineBlockScanner scanner(CodeText::BlockLines);
    bool markKnown = false;
    std::optional<qsizetype> start;
    QByteArray bytes = readBinaryFile(path, [&](QByteArrayView readSoFar) {
        if (!markKnown && readSoFar.size() >= 3) {
            start = eightBitStart(readSoFar);
            markKnown = true;
        }
        if (start)
            scanner.scan(readSoFar.sliced(*start));
    });
    if (!markKnown)
        start = eightBitStart(bytes);
    if (!start)
        return decodeWhole(bytes);
    const LineBlocks blocks = scanner.finish(QByteArrayView(bytes).sliced(*start));
    return decodeScanned(std::move(bytes), *start, blocks);
}

QByteArray codeFileBytes(const CodeBuffer &buffer, TextEncoding encoding)
{
    return buffer.standsForNoLines() ? CodeText().encoded(encoding) : buffer.text().encoded(encoding);
}

QString CodeFiles::damagedWarning()
{
    return QStringLiteral("Damaged characters in this file were replaced.");
}

std::optional<QString> CodeFiles::open(const QString &name, CodeBuffer &buffer)
{
    checkFileName(name);
    CodeFileContent content = readCodeFile(codeDir_ + name);
    buffer.replaceDocument(std::move(content.text), FileIdentity{name, name, content.encoding});
    buffer.setCodeModified(false);
    if (content.malformed)
        return damagedWarning();
    return std::nullopt;
}

std::optional<QString> CodeFiles::save(const QString &name, CodeBuffer &buffer, MessageSink &messages)
{
    checkFileName(name);
    if (!mayReplace(messages, name, buffer.identity().origin, {codeDir_ + name}))
        return std::nullopt;
    const TextEncoding remembered = buffer.identity().encoding;
    const bool fits = buffer.text().fits(remembered);
    const TextEncoding encoding = fits ? remembered : TextEncoding::Utf8Bom;
    writeBinaryFile(codeDir_ + name, codeFileBytes(buffer, encoding));
    buffer.savedAs(name, encoding);
    buffer.setCodeModified(false);
    return fits ? QStringLiteral("Saved.") : QStringLiteral("Saved as UTF-8.");
}

} // namespace quill
