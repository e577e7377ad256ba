#pragma once

#include "sprite/celdata.h"

namespace quill {

// What one fill did, for callers that want to know its cost.
struct FillStats {
    int pushes = 0;      // seeds queued in total
    int maxPending = 0;  // most seeds waiting at one time
};

// Scanline flood fill of a square cel: gives colour `color` to the region of
// pixels that hold the colour of (x0, y0) and are connected to it through
// shared edges (never diagonally). Seeds wait in a ring sized for the worst
// case of 2 x size x size + 1, so no fill of any cel size loses a seed.
// A start pixel that already holds `color`, or lies outside the cel, changes
// nothing.
//
//   FloodFill(cel, 16, 3, 4, 7);   // the region under (3, 4) becomes 7
FillStats FloodFill(CelPixels cel, int size, int x0, int y0, std::uint8_t color);

} // namespace quill
