#pragma once

namespace quill {

// The on-screen keyboard: 8 rows of 10 keys, index row x 10 + column.
inline constexpr int KeyRows = 8;
inline constexpr int KeyColumns = 10;
inline constexpr int KeyCount = KeyRows * KeyColumns;

// The sprite's edge in pixels: "sprite" in the settings, 1 to 127.
inline constexpr int DefaultSpriteSize = 16;
inline constexpr int SmallestSpriteSize = 1;
inline constexpr int LargestSpriteSize = 127;
inline constexpr bool isSpriteSize(int size)
{
    return size >= SmallestSpriteSize && size <= LargestSpriteSize;
}

// The edge of one cell of a sprite sheet for sprites of `spriteSize` pixels:
// the cel enlarged twice plus a one-pixel frame on each side (34 for the
// default size). The sheet writer, the sprite declaration and the page
// generator all measure sheets with it.
inline constexpr int sheetCellSize(int spriteSize) { return 2 * spriteSize + 2; }

} // namespace quill
