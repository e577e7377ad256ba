#include "sprite/canvasrender.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quill {

namespace {

constexpr QRgb DarkChecker = 0xFF333333u;
constexpr QRgb LightChecker = 0xFF666666u;
constexpr QRgb CentreLine = 0xFF777777u;
constexpr QRgb None = 0;

// One axis of the picture in device pixels: for each, the cell it lies in,
// its offset in that cell, and the cell's width.
struct AxisPixel {
    int cell;
    int offset;
    int span;
    bool centreLine;
};

// Where logical pixel p starts in device pixels.
int deviceAt(int logical, double ratio)
{
    return static_cast<int>(std::floor(logical * ratio + 1e-9));
}

std::vector<AxisPixel> axisPixels(int size, int zoom, double ratio)
{
    const int logicalEdge = size * zoom;
    const int lineStart = deviceAt(logicalEdge / 2 - 1, ratio), lineEnd = deviceAt(logicalEdge / 2, ratio);
    std::vector<AxisPixel> axis(deviceAt(logicalEdge, ratio));
    for (int cell = 0; cell < size; ++cell) {
        const int start = deviceAt(cell * zoom, ratio), end = deviceAt((cell + 1) * zoom, ratio);
        for (int p = start; p < end; ++p)
            axis[p] = {cell, p - start, end - start, p >= lineStart && p < lineEnd};
    }
    return axis;
}

// What a cell `span` device pixels wide and `spanY` high shows at offset
// (ox, oy) from its top-left corner: the colour for a coloured index, the
// checker for index 0, nothing in the gaps.
QRgb cellPixel(std::uint8_t index, const Palette &palette, const AxisPixel &x, const AxisPixel &y, int gap,
               int line)
{
    if (x.offset >= x.span - gap || y.offset >= y.span - gap)
        return None;
    if (index != TransparentIndex)
        return palette[index];
    const int hx = x.span / 2, hy = y.span / 2;
    const bool left = x.offset < hx - line, right = x.offset >= hx;
    const bool top = y.offset < hy - line, bottom = y.offset >= hy;
    if ((left && top) || (right && bottom))
        return DarkChecker;
    if ((right && top) || (left && bottom))
        return LightChecker;
    return None;
}

} // namespace

void renderCanvas(QImage &image, ConstCelPixels cel, int size, int zoom, const Palette &palette,
                  double devicePixelRatio)
{
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int edge = deviceAt(size * std::max(zoom, 1), ratio);
    if (image.size() != QSize(edge, edge) || image.format() != QImage::Format_ARGB32_Premultiplied)
        image = QImage(edge, edge, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    if (zoom < 1)
        return image.fill(Qt::transparent);
    // The design's 2-pixel gap and 1-pixel checker line, in device pixels.
    const int gap = std::max(1, static_cast<int>(std::lround(2 * ratio)));
    const int line = std::max(1, static_cast<int>(std::lround(ratio)));
    const std::vector<AxisPixel> axis = axisPixels(size, zoom, ratio);
    std::vector<QRgb> row(edge);
    for (int py = 0; py < edge; ++py) {
        const AxisPixel &y = axis[py];
        const ConstCelPixels pixels = cel.subspan(static_cast<std::size_t>(y.cell) * size, size);
        for (int px = 0; px < edge; ++px) {
            const AxisPixel &x = axis[px];
            const QRgb cell = cellPixel(pixels[x.cell], palette, x, y, gap, line);
            row[px] = cell != None ? cell : (x.centreLine || y.centreLine) ? CentreLine : None;
        }
        std::copy(row.begin(), row.end(), reinterpret_cast<QRgb *>(image.scanLine(py)));
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
