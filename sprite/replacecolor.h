#pragma once

#include "sprite/celdata.h"

namespace quill {

// Gives colour `color` to every pixel of the cel that holds the colour of
// (x, y), connected to it or not. Returns false (and changes nothing) when
// that pixel already holds `color` or lies outside the cel.
bool ReplaceColor(CelPixels cel, int size, int x, int y, std::uint8_t color);

} // namespace quill
