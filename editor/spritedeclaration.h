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
// sheet it looks like:
//   height 34, width a multiple of 34  -> sprite(,"cat",2);          (16-pixel sheet)
//   height S = 2 x SpriteSize + 2, width a multiple of S
//                                      -> sprite(,"name",4,16,16,1); (this size's sheet)
//   any other image                    -> sprite(,"name",1,100,50,0);
QString SpriteDeclaration(const QString &fileName, int width, int height, int SpriteSize);

// The size of the image file at path, which must decode as an image;
// throws QuillError naming the file and the cause when it does not.
QSize imageSizeOf(const QString &path);

// sndload(,"catbgm");
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
