#include "sprite/spritestorage.h"

#include "base/filename.h"
#include "base/textfile.h"
#include "sprite/spritedocument.h"
#include "sprite/spritesheet.h"

#include <QBuffer>

namespace quill {

QByteArray encodeSpriteSheet(const SpriteDocument &document, const Palette &palette)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // Qt's PNG writer takes a quality 0 to 100 and turns it into the zlib
    // level (100 - quality) x 9 / 91.
    const int quality = 100 - (SheetCompressionLevel * 91 + 8) / 9;
    buildSpriteSheet(document, palette).save(&buffer, "PNG", quality);
    return png;
}

void saveSprite(const SpriteDocument &document, const Palette &palette,
                const QString &spriteDir, const QString &imageDir, const QString &name)
{
    checkFileName(name);
    writeBinaryFile(spriteDir + name, document.fileBytes());
    writeBinaryFile(imageDir + name + QStringLiteral(".png"), encodeSpriteSheet(document, palette));
}

SpriteFileContent openSprite(const QString &spriteDir, const QString &name)
{
    checkFileName(name);
    return readSpriteFile(spriteDir + name, name);
}

} // namespace quill
