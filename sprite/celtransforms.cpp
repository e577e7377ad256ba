#include "sprite/celtransforms.h"

namespace quill {

namespace {

template <typename Source>
void transform(ConstCelPixels cel, CelPixels work, int size, Source source)
{
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const auto [sx, sy] = source(x, y);
            work[y * size + x] = cel[sy * size + sx];
        }
}

struct Point {
    int x;
    int y;
};

} // namespace

void RotateCel(ConstCelPixels cel, CelPixels work, int size)
{
    transform(cel, work, size, [size](int x, int y) { return Point{size - 1 - y, x}; });
}

void MirrorLeftRight(ConstCelPixels cel, CelPixels work, int size)
{
    transform(cel, work, size, [size](int x, int y) { return Point{size - 1 - x, y}; });
}

void MirrorTopBottom(ConstCelPixels cel, CelPixels work, int size)
{
    transform(cel, work, size, [size](int x, int y) { return Point{x, size - 1 - y}; });
}

ShiftDirection nextShiftDirection(ShiftDirection direction)
{
    return static_cast<ShiftDirection>((static_cast<int>(direction) + 1) % 4);
}

QString shiftDirectionCaption(ShiftDirection direction)
{
    return QString(QLatin1Char("URDL"[static_cast<int>(direction)]));
}

void ShiftCel(ConstCelPixels cel, CelPixels work, int size, ShiftDirection direction)
{
    // The work pixel (x, y) takes the pixel that moves onto it.
    auto wrap = [size](int v) { return (v + size) % size; };
    switch (direction) {
    case ShiftDirection::Up:
        transform(cel, work, size, [&](int x, int y) { return Point{x, wrap(y + 1)}; });
        break;
    case ShiftDirection::Right:
        transform(cel, work, size, [&](int x, int y) { return Point{wrap(x - 1), y}; });
        break;
    case ShiftDirection::Down:
        transform(cel, work, size, [&](int x, int y) { return Point{x, wrap(y - 1)}; });
        break;
    case ShiftDirection::Left:
        transform(cel, work, size, [&](int x, int y) { return Point{wrap(x + 1), y}; });
        break;
    }
}

} // namespace quill
