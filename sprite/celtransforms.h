#pragma once

#include "sprite/celdata.h"

#include <QString>

namespace quill {

// The whole-cel transforms. Each writes every pixel of `work` from `cel`
// (both size x size, distinct blocks), so no transform reads a pixel it has
// already written; the caller copies `work` back over the cel.
//
//   RotateCel(doc.currentCelPixels(), doc.WorkCel(), size);  doc.CommitWorkCel();

// A quarter turn counter-clockwise: the former top-right pixel ends top-left.
void RotateCel(ConstCelPixels cel, CelPixels work, int size);
// Each row reversed.
void MirrorLeftRight(ConstCelPixels cel, CelPixels work, int size);
// The order of the rows reversed.
void MirrorTopBottom(ConstCelPixels cel, CelPixels work, int size);

// Where Shift moves the pixels; the button shows the letter of "URDL".
enum class ShiftDirection { Up = 0, Right = 1, Down = 2, Left = 3 };
ShiftDirection nextShiftDirection(ShiftDirection direction);
QString shiftDirectionCaption(ShiftDirection direction);

// Every pixel one step in `direction`; the one that leaves an edge comes
// back at the opposite edge.
void ShiftCel(ConstCelPixels cel, CelPixels work, int size, ShiftDirection direction);

} // namespace quill
