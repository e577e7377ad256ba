#pragma once

#include <QByteArray>
#include <QString>

namespace quill {

// A sprite file as the program writes it: width, height and cel count (one
// byte each), then the cels, each width x height colour indices row by row.
struct SpriteFileContent {
    int size = 0;       // width = height, 1 to 127
    int celCount = 0;   // 1 to 32
    QByteArray cels;    // celCount x size x size indices 0 to 15
};

// The largest file a reader needs to look at: 32 cels of 127 x 127.
inline constexpr qsizetype LargestSpriteFileSize = 3 + 32 * 127 * 127;

// Checks and takes apart the bytes of a sprite file. Anything this program
// cannot have written (a size outside 1 to 127, width and height different,
// a cel count outside 1 to 32, fewer bytes than the header announces, an
// index above 15) throws QuillError "Invalid sprite file.". Bytes after the
// last cel are ignored.
SpriteFileContent parseSpriteFile(const QByteArray &bytes);

// Reads and checks the file at `path` (readFileStart: a regular file only,
// never waiting on a FIFO); a file that cannot be opened or read throws
// QuillError "Failed to open NAME.".
SpriteFileContent readSpriteFile(const QString &path, const QString &name);

} // namespace quill
