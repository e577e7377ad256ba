#pragma once

#include "sprite/palette.h"
#include "sprite/spritefile.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quill {

class SpriteDocument;

// The PNG compression level of sprite sheets (0 to 9): zlib's usual 6. On
// the largest sheet (32 cels of 127 x 127) level 1 writes files about 2.7
// times larger for a quarter less time, and level 9 takes over twice as
// long for files only a tenth smaller (bench/bench_sprite).
inline constexpr int SheetCompressionLevel = 6;

// The PNG text key under which a sheet names the sprite file it was made
// with: the SHA-1 of that file's bytes, in hexadecimal. Pages and image
// viewers ignore it.
inline const QString SheetSpriteKey = QStringLiteral("QuillSprite");

// What a sheet names as its sprite file's bytes.
QString spriteFileDigest(const QByteArray &spriteFileBytes);

// The PNG bytes of the sheet of `document` in `palette`, carrying the digest
// of the document's sprite file bytes under SheetSpriteKey.
QByteArray encodeSpriteSheet(const SpriteDocument &document, const Palette &palette);

// Save: the sprite file spriteDir + name and the sheet imageDir + name +
// ".png" are replaced as a pair. Both are written whole and to the disk
// under temporary names first (in a hidden folder ".quill-saving" of each
// folder), then the sheet is renamed into place and the sprite file last.
// So after a crash at any moment either the old pair stands (the new files
// lie only under their temporary names), or both are new, or the new sheet
// stands beside the old sprite file with the new sprite file still under its
// temporary name, which settleSpriteSaves and checkSpritePair then rename
// into place. A name that is empty, could leave the folders, or is too long
// for either file ("File name too long.") throws QuillError before anything
// is written; a failed write throws QuillError naming the file, with the old
// pair standing.
void saveSprite(const SpriteDocument &document, const Palette &palette,
                const QString &spriteDir, const QString &imageDir, const QString &name);

// Open: reads and checks spriteDir + name (see readSpriteFile).
SpriteFileContent openSprite(const QString &spriteDir, const QString &name);

// "Sprite NAME and its sheet NAME.png do not match."
QString spritePairMismatch(const QString &name);

// Before an Open: when the sheet imageDir + name + ".png" names other bytes
// than the sprite file spriteDir + name holds, a save was cut short after
// its sheet: the new sprite file waiting under its temporary name is renamed
// into place. Returns what the user must be told when the pair still does
// not match (spritePairMismatch); nothing
// for a matching pair, and for a sheet that names no sprite file (one made
// elsewhere) or no sheet at all.
std::optional<QString> checkSpritePair(const QString &spriteDir, const QString &imageDir,
                                       const QString &name);

// At start-up: completes every save that was cut short after its sheet (as
// checkSpritePair does) and removes the temporary files of saves cut short
// before it, whose old pair stands. Returns the names of the sprites whose
// save could not be completed (empty when there were none). Costs one look
// into an empty folder when no save was cut short.
QStringList settleSpriteSaves(const QString &spriteDir, const QString &imageDir);

} // namespace quill
