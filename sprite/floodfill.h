#pragma once

#include "sprite/celdata.h"

namespace quill {

// Flood fill of a square cel of 1 to 128 pixels a side: gives colour `color`
// to the region of pixels that hold the colour of (x0, y0) and are connected
// to it through shared edges (never diagonally). Returns how many pixels took
// the colour: 0 when the start pixel already holds `color`, lies outside the
// cel, or the size is out of range.
//
// The fill works on whole rows at once, each row's pixels of the region's
// colour as a mask of bits: a step takes every run of a row that the region
// reaches and hands the new pixels to the rows above and below, and a
// corridor one pixel wide is followed along its column. A comb of one-pixel
// teeth costs as many steps as it has rows, a serpentine as many as it has
// turns; nothing is allocated and no queue can overflow.
//
//   FloodFill(cel, 16, 3, 4, 7);   // the region under (3, 4) becomes 7
int FloodFill(CelPixels cel, int size, int x0, int y0, std::uint8_t color);

} // namespace quill
