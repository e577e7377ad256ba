#pragma once

#include <QImage>
#include <QSize>

class QPainter;

namespace quill {

class CodeBuffer;

// Paints the visible part of the code text from the FontSheet: 16 x 16 cells
// of 10 x 10 pixels, glyph of code k in the 8 x 8 block at
// (10 (k mod 16) + 1, 10 (k div 16) + 1), inverted glyphs 80 pixels lower.
// Each glyph is scaled into a square cell of cellSize pixels with
// nearest-neighbour sampling; the cursor and the selected range are drawn
// inverted, the end-of-line cursor as the inverted blank of code 127.
// Characters beyond code 127 show the glyph of code 28 (the diagonal cross).
// Only cells inside the view are drawn, so a long line costs no more than a
// short one; the scaled glyphs are kept until the cell size changes.
//
// At a device pixel ratio other than 1 the glyphs are scaled straight to the
// cell's size in device pixels and drawn one to one: every font pixel is a
// whole block of device pixels, all of one size where the cell is a whole
// multiple of 8 device pixels.
//
//   CodePainter painter(QImage(":/program/fontsheet.png"));
//   painter.paint(widgetPainter, buffer, cellSize, widget->size(), widget->devicePixelRatioF());
class CodePainter {
public:
    static constexpr int SheetCell = 10;
    static constexpr int GlyphSize = 8;
    static constexpr int UnknownGlyph = 28;

    explicit CodePainter(const QImage &fontSheet);

    void paint(QPainter &painter, const CodeBuffer &buffer, int cellSize, QSize viewSize,
               double devicePixelRatio = 1.0);

    // The sheet's glyph code for a 16-bit character.
    static int glyphCode(char16_t character) { return character < 128 ? character : UnknownGlyph; }

private:
    // The glyphs for cells of cellSize logical pixels; returns their side in
    // device pixels.
    int scaleGlyphs(int cellSize, double devicePixelRatio);

    QImage sheet_;
    QImage glyphs_; // 16 x 16 glyphs of a cell's device pixels, inverted ones in rows 8 to 15
    int glyphCell_ = 0;
    double glyphRatio_ = 1.0;
};

} // namespace quill
