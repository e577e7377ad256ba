#include "sprite/canvasrender.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <random>

namespace {

quill::Palette testPalette()
{
    quill::Palette palette;
    for (int i = 0; i < 16; ++i)
        palette[i] = qRgb(15 * i, 255 - 15 * i, 100);
    return palette;
}

QRect edges(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// The canvas as rectangles painted one after the other: centre lines first,
// then every cell (checker quarters for index 0).
QImage paintedReference(const std::vector<std::uint8_t> &cel, int size, int z, const quill::Palette &palette)
{
    QImage image(size * z, size * z, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const int edge = size * z;
    p.fillRect(edges(edge / 2 - 1, 0, edge / 2, edge), QColor::fromRgba(0xFF777777u));
    p.fillRect(edges(0, edge / 2 - 1, edge, edge / 2), QColor::fromRgba(0xFF777777u));
    const int h = z / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int l = x * z, t = y * z, r = (x + 1) * z - 2, b = (y + 1) * z - 2;
            if (r <= l || b <= t)
                continue;
            const std::uint8_t index = cel[y * size + x];
            if (index != 0) {
                p.fillRect(edges(l, t, r, b), QColor::fromRgba(palette[index]));
                continue;
            }
            auto quarter = [&](int ql, int qt, int qr, int qb, QRgb colour) {
                if (qr > ql && qb > qt)
                    p.fillRect(edges(ql, qt, qr, qb), QColor::fromRgba(colour));
            };
            quarter(l, t, l + h - 1, t + h - 1, 0xFF333333u);
            quarter(l + h, t + h, r, b, 0xFF333333u);
            quarter(l + h, t, r, t + h - 1, 0xFF666666u);
            quarter(l, t + h, l + h - 1, b, 0xFF666666u);
        }
    return image;
}

TEST(CanvasRender, MatchesTheRectanglesAtEveryZoom)
{
    std::mt19937 random(3);
    const quill::Palette palette = testPalette();
    for (const auto &[size, zoom] : std::vector<std::pair<int, int>>{
             {16, 24}, {16, 1}, {16, 2}, {127, 3}, {5, 7}, {4, 10}, {1, 384}, {3, 4}}) {
        std::vector<std::uint8_t> cel(size * size);
        for (auto &p : cel)
            p = random() % 3 == 0 ? 0 : static_cast<std::uint8_t>(random() % 16);
        QImage image;
        quill::renderCanvas(image, cel, size, zoom, palette);
        const QImage expected = paintedReference(cel, size, zoom, palette);
        ASSERT_EQ(image.size(), expected.size());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(image.pixel(x, y), expected.pixel(x, y))
                    << "size " << size << " zoom " << zoom << " at " << x << "," << y;
    }
}

TEST(CanvasRender, CheckerOfATransparentCellAtDesignZoom)
{
    const std::vector<std::uint8_t> cel(16 * 16, 0);
    QImage image;
    quill::renderCanvas(image, cel, 16, 24, testPalette());
    struct Case {
        const char *name;
        int x, y;
        QRgb colour;
    };
    for (const Case c : {Case{"top-left quarter", 0, 0, 0xFF333333u}, Case{"its last pixel", 10, 10, 0xFF333333u},
                         Case{"line between quarters", 11, 5, 0}, Case{"top-right quarter", 12, 0, 0xFF666666u},
                         Case{"bottom-right quarter", 21, 21, 0xFF333333u}, Case{"gap right of the cell", 22, 5, 0},
                         Case{"centre line in a gap", 191, 5, 0xFF777777u},
                         Case{"horizontal centre line in a gap", 5, 191, 0xFF777777u}})
        EXPECT_EQ(image.pixel(c.x, c.y), c.colour) << c.name;
}

TEST(CanvasRender, AtRatio2TheDesignsPictureWithEveryPixelDoubled)
{
    std::mt19937 random(5);
    const quill::Palette palette = testPalette();
    for (const auto &[size, zoom] : std::vector<std::pair<int, int>>{{16, 24}, {16, 2}, {5, 10}, {3, 4}}) {
        SCOPED_TRACE(testing::Message() << "size " << size << " zoom " << zoom);
        std::vector<std::uint8_t> cel(size * size);
        for (auto &p : cel)
            p = random() % 3 == 0 ? 0 : static_cast<std::uint8_t>(random() % 16);
        QImage atRatio;
        quill::renderCanvas(atRatio, cel, size, zoom, palette, 2);
        EXPECT_EQ(atRatio.devicePixelRatio(), 2);
        EXPECT_EQ(atRatio.deviceIndependentSize(), QSizeF(size * zoom, size * zoom));
        const QImage design = paintedReference(cel, size, zoom, palette);
        QImage doubled = design.scaled(design.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        doubled.setDevicePixelRatio(2);
        EXPECT_EQ(atRatio, doubled);
    }
}

TEST(CanvasRender, AtRatio1Point5EveryCellIsAlikeWhereTheZoomAllows)
{
    // Zoom 26 at ratio 1.5: cells of 39 device pixels, 3 of them the gap.
    const int size = 16, zoom = 26;
    std::vector<std::uint8_t> cel(size * size, 1);
    QImage image;
    quill::renderCanvas(image, cel, size, zoom, testPalette(), 1.5);
    ASSERT_EQ(image.width(), size * 39);
    const QRgb colour = testPalette()[1];
    for (int row : {0, 200, 39 * 15}) {
        std::vector<int> runs;
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, row) == colour) {
                ++run;
            } else if (run > 0) {
                runs.push_back(run);
                run = 0;
            }
        }
        if (run > 0)
            runs.push_back(run);
        EXPECT_EQ(runs, std::vector<int>(size, 36)) << "row " << row;
    }
}

TEST(CanvasRender, PreviewShowsIndexZeroInTheFirstColour)
{
    const std::vector<std::uint8_t> cel = {0, 1, 2, 15};
    const quill::Palette palette = testPalette();
    const QImage preview = quill::renderPreview(cel, 2, palette);
    EXPECT_EQ(preview.pixel(0, 0), palette[0]);
    EXPECT_EQ(preview.pixel(1, 1), palette[15]);
}

} // namespace
