#pragma once

#include "base/quillerror.h"
#include "sprite/spritedocument.h"
#include "sprite/spritefile.h"

#include <QByteArray>

// The property the sprite file reader keeps for any bytes at all: it either
// refuses them with "Invalid sprite file." or gives a content that a
// document takes in and writes back as the same bytes (those after the last
// cel aside). Returns an empty string when it holds, else what went wrong.
inline QString checkSpriteFileBytes(const QByteArray &bytes)
{
    quill::SpriteFileContent content;
    try {
        content = quill::parseSpriteFile(bytes);
    } catch (const quill::QuillError &error) {
        return error.message() == QStringLiteral("Invalid sprite file.")
                   ? QString()
                   : QStringLiteral("refused with ") + error.message();
    }
    quill::SpriteDocument document(16);
    document.loadFile(content);
    const QByteArray written = document.fileBytes();
    if (written != bytes.left(written.size()))
        return QStringLiteral("accepted bytes do not write back unchanged");
    return {};
}
