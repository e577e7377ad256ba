#include "sprite/spritesheet.h"

#include "sprite/spritedocument.h"

#include <algorithm>

namespace quill {

QImage buildSpriteSheet(const SpriteDocument &document, const Palette &palette)
{
    const int size = document.spriteSize();
    const int cell = sheetCellSize(size);
    QImage sheet(document.CelCount() * cell, cell, QImage::Format_RGBA8888);
    // The frame pixel u of a cell copies sprite column clamp((u - 1) div 2);
    // u - 1 is -1 only at u = 0, where the clamp gives 0 anyway.
    auto source = [size](int u) { return std::clamp((u - 1) / 2, 0, size - 1); };
    for (int c = 0; c < document.CelCount(); ++c) {
        const ConstCelPixels cel = document.cel(c);
        for (int v = 0; v < cell; ++v) {
            auto *line = reinterpret_cast<std::uint8_t *>(sheet.scanLine(v)) + 4 * c * cell;
            const ConstCelPixels row = cel.subspan(static_cast<std::size_t>(source(v)) * size, size);
            for (int u = 0; u < cell; ++u) {
                const std::uint8_t index = row[source(u)];
                const QRgb colour = palette[index];
                std::uint8_t *p = line + 4 * u;
                if (index == TransparentIndex) {
                    p[0] = p[1] = p[2] = p[3] = 0;
                } else {
                    p[0] = static_cast<std::uint8_t>(qRed(colour));
                    p[1] = static_cast<std::uint8_t>(qGreen(colour));
                    p[2] = static_cast<std::uint8_t>(qBlue(colour));
                    p[3] = 0xFF;
                }
            }
        }
    }
    return sheet;
}

} // namespace quill
