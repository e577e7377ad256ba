#include "sprite/canvasrender.h"

#include <algorithm>
#include <vector>

namespace quill {

namespace {

constexpr QRgb DarkChecker = 0xFF333333u;
constexpr QRgb LightChecker = 0xFF666666u;
constexpr QRgb CentreLine = 0xFF777777u;
constexpr QRgb None = 0;

// What a cell shows at offset (ox, oy) from its top-left corner: the colour
// for a coloured index, the checker for index 0, nothing in the gaps.
QRgb cellPixel(std::uint8_t index, int zoom, const Palette &palette, int ox, int oy)
{
    const int inner = zoom - 2;
    if (ox >= inner || oy >= inner)
        return None;
    if (index != TransparentIndex)
        return palette[index];
    const int h = zoom / 2;
    const bool left = ox < h - 1, right = ox >= h;
    const bool top = oy < h - 1, bottom = oy >= h;
    if ((left && top) || (right && bottom))
        return DarkChecker;
    if ((right && top) || (left && bottom))
        return LightChecker;
    return None;
}

QRgb centreLinePixel(int size, int zoom, int px, int py)
{
    const int edge = size * zoom;
    if (px < 0 || py < 0 || px >= edge || py >= edge)
        return None;
    return px == edge / 2 - 1 || py == edge / 2 - 1 ? CentreLine : None;
}

} // namespace

void renderCanvas(QImage &image, ConstCelPixels cel, int size, int zoom, const Palette &palette)
{
    const int edge = size * std::max(zoom, 1);
    if (image.size() != QSize(edge, edge) || image.format() != QImage::Format_ARGB32_Premultiplied)
        image = QImage(edge, edge, QImage::Format_ARGB32_Premultiplied);
    if (zoom < 1)
        return image.fill(Qt::transparent);
    std::vector<QRgb> line(edge);
    for (int y = 0; y < size; ++y) {
        const ConstCelPixels row = cel.subspan(static_cast<std::size_t>(y) * size, size);
        for (int oy = 0; oy < zoom; ++oy) {
            const int py = y * zoom + oy;
            for (int x = 0; x < size; ++x)
                for (int ox = 0; ox < zoom; ++ox) {
                    const int px = x * zoom + ox;
                    const QRgb cell = cellPixel(row[x], zoom, palette, ox, oy);
                    line[px] = cell != None ? cell : centreLinePixel(size, zoom, px, py);
                }
            std::copy(line.begin(), line.end(), reinterpret_cast<QRgb *>(image.scanLine(py)));
        }
    }
}

QImage renderPreview(ConstCelPixels cel, int size, const Palette &palette)
{
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size; ++x)
            line[x] = palette[cel[y * size + x]] | 0xFF000000u;
    }
    return image;
}

} // namespace quill
