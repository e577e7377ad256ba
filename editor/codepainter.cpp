#include "editor/codepainter.h"

#include "editor/codebuffer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace quill {

namespace {

constexpr int EndOfLineGlyph = 16 * 15 + 15; // the inverted blank of code 127

} // namespace

CodePainter::CodePainter(const QImage &fontSheet)
    : sheet_(fontSheet.convertToFormat(QImage::Format_ARGB32_Premultiplied))
{
}

int CodePainter::scaleGlyphs(int logicalCell, double devicePixelRatio)
{
    const int cellSize = std::max(1, static_cast<int>(std::lround(logicalCell * devicePixelRatio)));
    if (glyphCell_ == logicalCell && glyphRatio_ == devicePixelRatio && !glyphs_.isNull())
        return cellSize;
    // Each glyph scaled on its own, exactly as a copy of its 8 x 8 block into
    // a cell would scale it; blocks beyond a short sheet stay black.
    glyphs_ = QImage(16 * cellSize, 16 * cellSize, QImage::Format_ARGB32_Premultiplied);
    glyphs_.fill(Qt::black);
    QPainter painter(&glyphs_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int row = 0; row < 16; ++row) {
        for (int column = 0; column < 16; ++column) {
            painter.drawImage(QRect(column * cellSize, row * cellSize, cellSize, cellSize), sheet_,
                              QRect(column * SheetCell + 1, row * SheetCell + 1, GlyphSize, GlyphSize));
        }
    }
    painter.end();
    glyphs_.setDevicePixelRatio(devicePixelRatio);
    glyphCell_ = logicalCell;
    glyphRatio_ = devicePixelRatio;
    return cellSize;
}

void CodePainter::paint(QPainter &painter, const CodeBuffer &buffer, int cellSize, QSize viewSize,
                        double devicePixelRatio)
{
    painter.fillRect(QRect(QPoint(0, 0), viewSize), Qt::black);
    if (cellSize < 1)
        return;
    const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int glyphSide = scaleGlyphs(cellSize, ratio);
    painter.setCompositionMode(QPainter::CompositionMode_Source);

    const int topLine = buffer.topLine();
    const int leftColumn = buffer.leftColumn();
    const int last = int(std::min<qint64>(qint64(topLine) + buffer.visibleLines(), buffer.lineCount()));
    // Columns that start inside the view; later characters would fall outside it.
    const int columnsInView = (viewSize.width() + cellSize - 1) / cellSize;
    const auto drawGlyph = [&](int glyph, int x, int y) {
        painter.drawImage(QPoint(x, y), glyphs_,
                          QRect((glyph % 16) * glyphSide, (glyph / 16) * glyphSide, glyphSide, glyphSide));
    };

    for (int line = topLine; line < last; ++line) {
        const QString &text = buffer.line(line);
        const int y = (line - topLine) * cellSize;
        const int end = int(std::min<qint64>(text.size(), qint64(leftColumn) + columnsInView));
        for (int column = leftColumn; column < end; ++column) {
            const bool highlighted = (line == buffer.cursorLine() && column == buffer.cursorColumn())
                || buffer.inSelection(line, column);
            const int glyph = glyphCode(text.at(column).unicode()) + (highlighted ? 128 : 0);
            drawGlyph(glyph, (column - leftColumn) * cellSize, y);
        }
        if (line == buffer.cursorLine() && buffer.cursorColumn() == text.size()
            && buffer.cursorColumn() >= leftColumn && buffer.cursorColumn() - leftColumn < columnsInView)
            drawGlyph(EndOfLineGlyph, (buffer.cursorColumn() - leftColumn) * cellSize, y);
    }
}

} // namespace quill
