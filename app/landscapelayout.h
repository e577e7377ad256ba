#pragma once

#include "app/layoutscreen.h"

namespace quill {

// The layout of a client area wider than tall, our own: the design lays its
// pages out for a phone held upright. It keeps the design's page structure
// and fixed heights and changes where the width goes:
//
// - Code page: the keys span the page at its foot, each at least 48 x 28
//   (on a page 500 pixels wide or more) and all of them at most a third of
//   the page below the menu bar where that allows; a toggle in the menu row
//   hides them and the code view takes their place. A code cell is a whole
//   multiple of 8 device pixels, the font's own size, so every stroke of a
//   glyph is equally wide: at most 16 pixels (the font twice over), and
//   smaller where the "width" setting asks for more columns than that shows.
//   In landscape "width" is therefore the fewest columns the view shows.
// - Sprite page: the canvas on the left at the page's full height; beside
//   it the colour bar, the tool buttons (at least 48 x 40) and the preview
//   (at least 64 pixels where there is room, at a whole scale).
// - Help page: the text in a column of at most HelpColumnWidth pixels.
// - System page: the settings as designed, with Export, Website and Quit in
//   a second column where the page is wide enough.
// - The menus keep their heights; their buttons stop growing at
//   LandscapeMenuSlot pixels, and the lists fit their longest name.
// The smallest key and tool button; a key's cell is 2 pixels wider and 3
// higher than its button (the design's spacing).
inline constexpr int LandscapeKeyWidth = 48;
inline constexpr int LandscapeKeyHeight = 28;
inline constexpr int LandscapeToolWidth = 48;
inline constexpr int LandscapeToolHeight = 40;
inline constexpr int LandscapeLargestCell = 16;
inline constexpr int LandscapeMenuSlot = 112;
inline constexpr int LandscapeNameWidth = 480;
inline constexpr int SmallestPreview = 64;
inline constexpr int HelpColumnWidth = 1000;

LayoutResult computeLandscapeLayout(const LayoutInput &input);

// The code cell for a view codeWidth pixels wide that must show at least
// `columns` columns: the largest cell of at most LandscapeLargestCell pixels
// whose side is a whole multiple of 8 device pixels. When no cell that
// shows the columns is (an unusual ratio, a huge "width"), the largest cell
// that shows them.
int landscapeCellSize(int codeWidth, int columns, double devicePixelRatio);

// The largest whole scale of at most `largest` at which `units` pixels fill
// a whole number of device pixels per unit and fit in `room`; 0 when even a
// scale of 1 does not fit.
int wholeDeviceScale(int room, int units, int largest, double devicePixelRatio);

} // namespace quill
