#pragma once

#include "editor/textsplice.h"

#include <QSize>
#include <QStringList>

namespace quill {

// The lines that the pick list's sprite and sound choices insert, and the
// lists they choose from.

// Where the cursor stands after inserting a declaration: just after
// "sprite(" and "sndload(", where the image or sound number goes.
inline constexpr int SpriteDeclarationColumn = 7;
inline constexpr int SoundDeclarationColumn = 8;

// The file name without its extension (the last "." and what follows it).
QString withoutExtension(const QString &fileName);

// The sprite declaration for an image of width x height pixels, by the
// sheet it looks like (the name as written, in a quoted argument):
//   height 34, width a multiple of 34  -> sprite(,"cat",2);          (16-pixel sheet)
//   height S = 2 x SpriteSize + 2, width a multiple of S
//                                      -> sprite(,"name",4,16,16,1); (this size's sheet)
//   any other image                    -> sprite(,"name",1,100,50,0);
QString SpriteDeclaration(const QString &fileName, int width, int height, int SpriteSize);

// The longest edge of a picture that a sprite declaration takes: the
// largest texture that common graphics hardware (and so a 3D page) holds.
inline constexpr int LargestSpriteImageEdge = 16384;

// The size of the image file at path, read from the picture's header
// without decoding the picture (a PNG's IHDR): a picture of thousands of
// pixels a side costs no more than a small one. The file is opened by
// openRegularFile. Throws QuillError naming the file: "Failed to open
// NAME: cause." when it is no picture, and "Too large: NAME is W x H
// pixels; a sprite image may be at most 16384 x 16384." when an edge is
// longer than LargestSpriteImageEdge.
QSize imageSizeOf(const QString &path);

// sndload(,"catbgm"); the name as written, in a quoted argument.
QString SoundDeclaration(const QString &fileName);

// The image files offered for a sprite: every file of ListFiles but the
// runtime's font sheet fnt18.png, in the order given.
QStringList SpriteImageChoices(const QStringList &imageFiles);

// The declaration as a new line after the cursor line, the cursor on it.
inline TextSplice declarationInsertion(int cursorLine, const QString &declaration, int cursorColumn)
{
    return lineInsertionAfter(cursorLine, declaration, cursorColumn);
}

} // namespace quill
