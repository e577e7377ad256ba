#pragma once

#include "base/settingsstore.h"
#include "base/textfile.h"

#include <QByteArray>
#include <QString>

// How many U+FFFD the bytes hold as characters of their own: UTF-16 units
// after a UTF-16 mark, else the UTF-8 sequence (8-bit text without a mark
// that is no UTF-8 comes back byte for byte, so its count stays too).
inline qsizetype replacementCharacters(const QByteArray &bytes)
{
    const bool littleEndian = bytes.startsWith("\xFF\xFE");
    if (littleEndian || bytes.startsWith("\xFE\xFF")) {
        qsizetype count = 0;
        for (qsizetype i = 2; i + 1 < bytes.size(); i += 2)
            count += littleEndian ? bytes.mid(i, 2) == "\xFD\xFF" : bytes.mid(i, 2) == "\xFF\xFD";
        return count;
    }
    return bytes.count(QByteArray("\xEF\xBF\xBD", 3));
}

// The property the settings reader keeps for any bytes at all: a file whose
// bytes are no text in their encoding is kept (nothing is ever written over
// it); any other file is written as text that reads back as the same
// entries and is written again the same, holds just the replacement
// characters the file held (none stands for a byte that could not be read),
// and is the very bytes read when those were 8-bit text without a mark and
// with CR LF after every line. Returns an empty string when it holds, else
// what went wrong.
inline QString checkSettingsFileBytes(const QByteArray &bytes)
{
    quill::SettingsStore store;
    store.loadBytes(bytes);
    const std::optional<QByteArray> written = store.fileBytes();
    if (store.keptFile())
        return written ? QStringLiteral("a kept file would be written") : QString();
    if (!written)
        return QStringLiteral("a file that is not kept would not be written");
    if (quill::decodeText(bytes).malformed)
        return QStringLiteral("a file whose bytes are no text is not kept");
    if (replacementCharacters(*written) != replacementCharacters(bytes))
        return QStringLiteral("a replacement character was written for bytes that could not be read");

    quill::SettingsStore again;
    again.loadBytes(*written);
    if (again.keptFile() || again.entries() != store.entries())
        return QStringLiteral("what was written reads back as other entries");
    if (again.fileBytes() != written)
        return QStringLiteral("a second save writes other bytes");

    bool savedForm = !bytes.startsWith("\xEF\xBB\xBF") && !bytes.startsWith("\xFF\xFE")
                     && !bytes.startsWith("\xFE\xFF") && (bytes.isEmpty() || bytes.endsWith("\r\n"));
    for (qsizetype i = 0; savedForm && i < bytes.size(); ++i)
        savedForm = (bytes[i] != '\r' || (i + 1 < bytes.size() && bytes[i + 1] == '\n'))
                    && (bytes[i] != '\n' || (i > 0 && bytes[i - 1] == '\r'));
    if (savedForm && *written != bytes)
        return QStringLiteral("8-bit text in the file's own form is not written back unchanged");
    return {};
}
