#pragma once

#include "sprite/celdata.h"
#include "sprite/palette.h"

#include <QImage>

namespace quill {

// The canvas picture of one cel: size x size cells of `zoom` pixels, each
// cell (x, y) covering (x Z, y Z) to ((x + 1) Z - 2, (y + 1) Z - 2) so that a
// 2-pixel gap stays right of and below it. Indices 1 to 15 fill the cell in
// their palette colour; index 0 is a 2 x 2 checker of FF333333 (top-left,
// bottom-right) and FF666666 with a 1-pixel line between the quarters. Two
// centre lines in FF777777 lie under the cells and show only in the gaps.
// Everything else is left fully transparent, so the page shows through.
//
// `image` is reused when it already has the right size (ARGB32 premultiplied).
//
// At a device pixel ratio other than 1 the picture is made in device pixels
// (its own ratio set to devicePixelRatio), so that nothing scales it again:
// each cell spans the device pixels of its logical square, and the gaps, the
// checker's lines and the centre lines are the ratio's multiple of their
// width, rounded. Where zoom x ratio is whole every cell is alike.
void renderCanvas(QImage &image, ConstCelPixels cel, int size, int zoom, const Palette &palette,
                  double devicePixelRatio = 1.0);

// The preview picture: one pixel per sprite pixel, index 0 included in
// Palette[0], all opaque.
QImage renderPreview(ConstCelPixels cel, int size, const Palette &palette);

} // namespace quill
