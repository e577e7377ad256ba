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
//   CodePainter painter(QImage(":/program/fontsheet.png"));
//   painter.paint(widgetPainter, buffer, cellSize, widget->size());
class CodePainter {
public:
    static constexpr int SheetCell = 10;
    static constexpr int GlyphSize = 8;
    static constexpr int UnknownGlyph = 28;

    explicit CodePainter(const QImage &fontSheet);

    void paint(QPainter &painter, const CodeBuffer &buffer, int cellSize, QSize viewSize);

    // The sheet's glyph code for a 16-bit character.
    static int glyphCode(char16_t character) { return character < 128 ? character : UnknownGlyph; }

private:
    void scaleGlyphs(int cellSize);

    QImage sheet_;
    QImage glyphs_; // 16 x 16 glyphs of cellSize pixels, inverted ones in rows 8 to 15
    int glyphCell_ = 0;
};

} // namespace quill
