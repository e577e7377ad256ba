#include "editor/codepainter.h"

#include "editor/codebuffer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <vector>

namespace quill {
namespace {

QImage fontSheet()
{
    static const QImage sheet(QStringLiteral(QUILL_SOURCE_DIR "/assets/program/fontsheet.png"));
    return sheet;
}

// Every cell as the plain algorithm draws it: each character of each visible
// line, however far right, one scaled copy from the sheet per cell.
QImage referencePicture(const CodeBuffer &buffer, int cellSize, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QImage sheet = fontSheet().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int last = std::min(buffer.topLine() + buffer.visibleLines(), buffer.lineCount());
    for (int i = buffer.topLine(); i < last; ++i) {
        const QString &line = buffer.line(i);
        for (int m = buffer.leftColumn(); m < line.size(); ++m) {
            const int k = CodePainter::glyphCode(line[m].unicode());
            int sy = (k / 16) * 10 + 1;
            if ((i == buffer.cursorLine() && m == buffer.cursorColumn()) || buffer.inSelection(i, m))
                sy += 80;
            painter.drawImage(QRect((m - buffer.leftColumn()) * cellSize, (i - buffer.topLine()) * cellSize,
                                    cellSize, cellSize),
                              sheet, QRect((k % 16) * 10 + 1, sy, 8, 8));
        }
        if (i == buffer.cursorLine() && buffer.cursorColumn() == line.size())
            painter.drawImage(QRect((buffer.cursorColumn() - buffer.leftColumn()) * cellSize,
                                    (i - buffer.topLine()) * cellSize, cellSize, cellSize),
                              sheet, QRect(151, 151, 8, 8));
    }
    return image;
}

QImage picture(const CodeBuffer &buffer, int cellSize, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::red); // anything left unpainted shows
    QPainter painter(&image);
    CodePainter codePainter(fontSheet());
    codePainter.paint(painter, buffer, cellSize, size);
    return image;
}

TEST(CodePainter, DrawsWhatThePlainAlgorithmDraws)
{
    ASSERT_FALSE(fontSheet().isNull());
    struct Case {
        const char *label;
        QStringList lines;
        int cursorLine, cursorColumn;
        int top, left;
        bool selection;
        int anchorLine, anchorColumn;
        int cellSize;
    };
    const QString longLine = QString(500, u'w') + "end";
    const std::vector<Case> cases = {
        {"cursor on a character", {"abc"}, 0, 2, 0, 0, false, 0, 0, 12},
        {"end-of-line cursor", {"abc", "x"}, 0, 3, 0, 0, false, 0, 0, 12},
        {"empty cursor line", {"", "ab"}, 0, 0, 0, 0, false, 0, 0, 7},
        {"selection over lines", {"abcdef", "ghi", "jkl"}, 2, 1, 0, 0, true, 0, 2, 12},
        {"scrolled", {"0123456789", "abcdefghij", "klmnopqrst"}, 2, 9, 1, 4, false, 0, 0, 11},
        {"long line", {longLine, "short"}, 1, 2, 0, 0, false, 0, 0, 12},
        {"long line scrolled", {longLine}, 0, 499, 0, 470, false, 0, 0, 12},
        {"characters beyond 127", {QString("a") + QChar(0xE9) + QChar(0x3C0) + QString::fromUtf8("\xF0\x9F\x98\x80")},
         0, 2, 0, 0, true, 0, 0, 12},
        {"tab and backslash", {"\t\\"}, 0, 0, 0, 0, false, 0, 0, 12},
        {"odd cell size", {"Hello, world!", "{}[]"}, 1, 4, 0, 0, false, 0, 0, 13},
        {"cell size 1", {"abc"}, 0, 1, 0, 0, false, 0, 0, 1},
        {"scrolled past the text", {"abc"}, 0, 0, 5, 0, false, 0, 0, 12},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        CodeBuffer buffer;
        buffer.loadLines(c.lines);
        const QSize size(32 * c.cellSize + 5, 3 * c.cellSize + 3);
        buffer.setViewSize(32, 3);
        buffer.setCursor(c.cursorLine, c.cursorColumn);
        buffer.setScroll(c.top, c.left);
        buffer.setSelectionActive(c.selection);
        buffer.setSelectionAnchor(c.anchorLine, c.anchorColumn);
        EXPECT_EQ(picture(buffer, c.cellSize, size), referencePicture(buffer, c.cellSize, size));
    }
}

// The view drawn on a screen of the given ratio: the picture in device pixels.
QImage pictureAtRatio(const CodeBuffer &buffer, int cellSize, QSize size, double ratio)
{
    QImage image((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::red);
    QPainter painter(&image);
    CodePainter codePainter(fontSheet());
    codePainter.paint(painter, buffer, cellSize, size, ratio);
    painter.end();
    image.setDevicePixelRatio(1);
    return image;
}

TEST(CodePainter, AtOtherRatiosEveryFontPixelIsAWholeBlockOfDevicePixels)
{
    // A 16-pixel cell at ratio 1.5 is a 24-pixel cell in device pixels: the
    // same picture as at ratio 1, each font pixel a block of 3 x 3, never
    // scaled twice (which would make strokes of 2 and 3 pixels).
    struct Case {
        const char *name;
        int cellSize;
        double ratio;
    };
    const std::vector<Case> cases = {
        {"ratio 1.5", 16, 1.5},
        {"ratio 2", 16, 2},
        {"ratio 2, 8-pixel cells", 8, 2},
        {"ratio 1.25, 32-pixel cells", 32, 1.25},
    };
    CodeBuffer buffer;
    buffer.loadLines({"function init(){", "  x=[1,2];", ""});
    buffer.setViewSize(20, 3);
    buffer.setCursor(1, 3);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int deviceCell = static_cast<int>(c.cellSize * c.ratio);
        const QImage atRatio = pictureAtRatio(buffer, c.cellSize, QSize(20 * c.cellSize, 3 * c.cellSize), c.ratio);
        const QImage reference = picture(buffer, deviceCell, QSize(20 * deviceCell, 3 * deviceCell));
        EXPECT_EQ(atRatio, reference);
    }
}

QRgb cellPixel(const QImage &image, int cellSize, int column, int row, int x, int y)
{
    return image.pixel(column * cellSize + x, row * cellSize + y);
}

TEST(CodePainter, CursorAndEndOfLineAreInverted)
{
    CodeBuffer buffer;
    buffer.loadLines({"abc"});
    buffer.setCursor(0, 3);
    const int cell = 16;
    const QImage image = picture(buffer, cell, QSize(10 * cell, 2 * cell));
    // The end-of-line block is solid light, the glyph cells have the dark
    // ground in their corner, and the rest of the view is black.
    for (int x = 0; x < cell; x += 3)
        for (int y = 0; y < cell; y += 3)
            EXPECT_EQ(cellPixel(image, cell, 3, 0, x, y), qRgb(249, 249, 249));
    EXPECT_EQ(cellPixel(image, cell, 0, 0, 0, 0), qRgb(6, 6, 6));
    EXPECT_EQ(cellPixel(image, cell, 4, 0, 0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(cellPixel(image, cell, 0, 1, 5, 5), qRgb(0, 0, 0));

    buffer.setCursor(0, 2);
    const QImage onC = picture(buffer, cell, QSize(10 * cell, 2 * cell));
    EXPECT_EQ(cellPixel(onC, cell, 2, 0, 0, 0), qRgb(249, 249, 249));
    EXPECT_EQ(cellPixel(onC, cell, 3, 0, 0, 0), qRgb(0, 0, 0));
}

TEST(CodePainter, WideCharactersShowTheCross)
{
    CodeBuffer buffer;
    buffer.loadLines({QString(QChar(28)) + QChar(0x4E2D)});
    buffer.setCursor(0, 0);
    buffer.setSelectionActive(true);
    buffer.setSelectionAnchor(0, 0);
    buffer.setCursor(0, 1); // both cells inverted
    const int cell = 8;
    const QImage image = picture(buffer, cell, QSize(4 * cell, cell));
    EXPECT_EQ(image.copy(0, 0, cell, cell), image.copy(cell, 0, cell, cell));
}

} // namespace
} // namespace quill
