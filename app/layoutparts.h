#pragma once

// What the design's layout and the landscape layout share: clamping, the
// keys' arithmetic and the System page's design places.
#include "app/layoutscreen.h"

#include <algorithm>

namespace quill::layoutparts {

// The design's fixed measures that both layouts keep.
inline constexpr int SwatchCount = 16;
inline constexpr int MenuSlotCount = 7;
inline constexpr int FileEditTop = 4;
inline constexpr int FileEditHeight = 32;
inline constexpr int CelLabelTop = 9;
inline constexpr int CelLabelWidth = 43;
inline constexpr int CelLabelHeight = 24;
inline constexpr int PickListLeft = 32;
inline constexpr int PickListTop = 16;
inline constexpr int PickListCloseColumn = 43;

// Sizes never go below 0 and divisors never below 1, whatever the window
// and the settings say.
inline int size(int value)
{
    return std::max(0, value);
}

inline int divisor(int value)
{
    return std::max(1, value);
}

// Settings may hold any whole number. Bounding every input keeps the products
// of the pass (8 x key height, 2 x button height) far inside an int.
LayoutInput bounded(LayoutInput input);

// The 80 keys in cells of keyWidth x keyHeight: a single space is two cells
// wide, "Rt" two rows tall, an empty caption hidden.
void placeKeys(LayoutResult &out, const std::array<QString, KeyCount> &captions, int keyWidth,
               int keyHeight);

// The System page's controls at their design places, the export folder's
// field exportDirWidth wide.
std::array<QRect, SystemControlCount> designSystemControls(int exportDirWidth);

// The smallest size from the page's corner that holds every rectangle.
QSize extentOf(const std::array<QRect, SystemControlCount> &controls);

} // namespace quill::layoutparts
