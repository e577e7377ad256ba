#pragma once

#include "base/constants.h"
#include "sprite/palette.h"

#include <QImage>

namespace quill {

class SpriteDocument;

// The sprite sheet of the cels 0 to CelCount() - 1, side by side: each cell
// holds its cel enlarged twice at (1, 1), framed by a one-pixel border that
// repeats the nearest picture pixel. Indices 1 to 15 take the palette's
// colour with alpha FF; index 0 is fully transparent (all four channels 0).
// The image is Format_RGBA8888, CelCount() x (2S + 2) by 2S + 2 pixels.
QImage buildSpriteSheet(const SpriteDocument &document, const Palette &palette);

} // namespace quill
