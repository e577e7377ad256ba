#pragma once

#include "base/textfile.h"
#include "editor/codebuffer.h"
#include "editor/codefiles.h"

#include <QByteArray>
#include <QString>

// The text of 8-bit bytes (after the mark, if any) is already as Save
// writes it: CR LF after every line and no other line end.
inline bool hasSavedLineEnds(QByteArrayView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            return false;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            return false;
    }
    return text.isEmpty() || text.endsWith("\r\n");
}

// The property the code file reader keeps for any bytes at all: it reads
// the same lines, encoding and damage as the plain text reader; bytes that
// are no text in their encoding are told (Open warns that damaged
// characters were replaced); and otherwise what Save writes without an edit
// reads back as the same text, is written again the same, and is the very
// bytes read when those already had Save's line ends (8-bit text, or no
// line at all). Returns an empty string when it holds, else what went wrong.
inline QString checkCodeFileBytes(const QByteArray &bytes)
{
    quill::CodeFileContent first = quill::decodeCodeFile(bytes);
    const quill::TextFileContent plain = quill::decodeText(bytes);
    if (first.text.toStringList() != plain.lines)
        return QStringLiteral("the code reader and the text reader read different lines");
    if (first.encoding != plain.encoding || first.malformed != plain.malformed)
        return QStringLiteral("the code reader and the text reader differ on the encoding");
    if (first.malformed)
        return {};
    const quill::TextEncoding encoding = first.encoding;
    quill::CodeBuffer buffer;
    buffer.loadText(std::move(first.text));
    const QByteArray written = quill::codeFileBytes(buffer, encoding);

    quill::CodeFileContent again = quill::decodeCodeFile(written);
    if (again.malformed || again.encoding != encoding)
        return QStringLiteral("what Save writes reads back in another encoding");
    quill::CodeBuffer second;
    second.loadText(std::move(again.text));
    if (second.lines() != buffer.lines() || second.standsForNoLines() != buffer.standsForNoLines())
        return QStringLiteral("what Save writes reads back as other lines");
    if (quill::codeFileBytes(second, encoding) != written)
        return QStringLiteral("a second Save writes other bytes");

    const QByteArray mark = quill::byteOrderMark(encoding);
    const bool eightBit = encoding != quill::TextEncoding::Utf16LE && encoding != quill::TextEncoding::Utf16BE;
    if ((buffer.standsForNoLines() || (eightBit && hasSavedLineEnds(QByteArrayView(bytes).sliced(mark.size()))))
        && written != bytes)
        return QStringLiteral("bytes in Save's own form are not written back unchanged");
    return {};
}
