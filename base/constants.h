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

} // namespace quill
