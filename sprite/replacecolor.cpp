#include "sprite/replacecolor.h"

namespace quill {

bool ReplaceColor(CelPixels cel, int size, int x, int y, std::uint8_t color)
{
    if (size < 1 || x < 0 || y < 0 || x >= size || y >= size
        || cel.size() < static_cast<std::size_t>(size) * size)
        return false;
    const std::uint8_t old = cel[y * size + x];
    if (old == color)
        return false;
    for (std::uint8_t &pixel : cel.first(static_cast<std::size_t>(size) * size))
        if (pixel == old)
            pixel = color;
    return true;
}

} // namespace quill
