#pragma once

#include <array>

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

// The Sprite page's fifteen tool buttons, in the order the tool bar places
// them (two rows, left to right). Everything indexed by tool follows it.
enum class SpriteTool {
    Add, Delete, Previous, Next, Copy, Paste, Pen,
    Rotate, FlipVertical, FlipHorizontal, Shift, ShiftDirection, Erase, Undo, Palette,
};
inline constexpr int ToolButtonCount = static_cast<int>(SpriteTool::Palette) + 1;

inline constexpr int toolIndex(SpriteTool tool) { return static_cast<int>(tool); }

} // namespace quill
