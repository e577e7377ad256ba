#pragma once

#include "sprite/palette.h"
#include "sprite/spritefile.h"

#include <QString>

namespace quill {

class SpriteDocument;

// The PNG compression level of sprite sheets (0 to 9): zlib's usual 6. On
// the largest sheet (32 cels of 127 x 127) level 1 writes files about 2.7
// times larger for a quarter less time, and level 9 takes over twice as
// long for files only a tenth smaller (bench/bench_sprite).
inline constexpr int SheetCompressionLevel = 6;

// The PNG bytes of the sheet of `document` in `palette`.
QByteArray encodeSpriteSheet(const SpriteDocument &document, const Palette &palette);

// Save: writes the sprite file spriteDir + name and the sheet
// imageDir + name + ".png", each through an atomic write. A name that is
// empty or could leave the folders throws QuillError ("Input file name.",
// "Invalid file name.") before anything is written; a failed write throws
// QuillError naming the file, and a failed sheet leaves the sprite file
// already written in place.
void saveSprite(const SpriteDocument &document, const Palette &palette,
                const QString &spriteDir, const QString &imageDir, const QString &name);

// Open: reads and checks spriteDir + name (see readSpriteFile).
SpriteFileContent openSprite(const QString &spriteDir, const QString &name);

} // namespace quill
