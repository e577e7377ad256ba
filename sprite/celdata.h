#pragma once

#include <cstdint>
#include <span>

namespace quill {

// One cel as the sprite editor stores it: size x size colour indices 0 to 15,
// row by row from the top, each row from the left; pixel (x, y) is the byte
// at y x size + x. Index 0 is transparent.
using CelPixels = std::span<std::uint8_t>;
using ConstCelPixels = std::span<const std::uint8_t>;

inline constexpr int PaletteSize = 16;
inline constexpr std::uint8_t TransparentIndex = 0;
inline constexpr std::uint8_t HighestColorIndex = PaletteSize - 1;

} // namespace quill
