#include "sprite/spritefile.h"

#include "base/constants.h"
#include "base/filereader.h"
#include "base/quillerror.h"
#include "sprite/celdata.h"

#include <algorithm>

namespace quill {

namespace {

[[noreturn]] void invalid()
{
    throw QuillError(QStringLiteral("Invalid sprite file."));
}

} // namespace

SpriteFileContent parseSpriteFile(const QByteArray &bytes)
{
    if (bytes.size() < 3)
        invalid();
    // The header bytes are signed: 128 and above are no size or count.
    const int width = static_cast<signed char>(bytes[0]);
    const int height = static_cast<signed char>(bytes[1]);
    const int celCount = static_cast<signed char>(bytes[2]);
    if (!isSpriteSize(width) || height != width || celCount < 1 || celCount > 32)
        invalid();
    const qsizetype length = static_cast<qsizetype>(celCount) * width * height;
    if (bytes.size() - 3 < length)
        invalid();
    SpriteFileContent content{width, celCount, bytes.mid(3, length)};
    if (std::ranges::any_of(content.cels, [](char c) {
            return static_cast<unsigned char>(c) > HighestColorIndex;
        }))
        invalid();
    return content;
}

SpriteFileContent readSpriteFile(const QString &path, const QString &name)
{
    QByteArray bytes;
    try {
        // Bytes after the largest file are never looked at.
        bytes = readFileStart(path, name, LargestSpriteFileSize);
    } catch (const QuillError &) {
        throw QuillError(QStringLiteral("Failed to open %1.").arg(name));
    }
    return parseSpriteFile(bytes);
}

} // namespace quill
