#include "editor/codetouch.h"

#include "editor/codebuffer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quill {

namespace {

// The whole part (towards zero) of a pixel position in cells plus an offset,
// kept inside int.
int wholeCells(double pixels, int cellSize, int offset)
{
    const double cells = std::trunc(pixels / std::max(cellSize, 1) + offset);
    if (!(cells == cells))
        return 0; // NaN
    constexpr double limit = std::numeric_limits<int>::max() / 2;
    return int(std::clamp(cells, -limit, limit));
}

} // namespace

void tapCodeView(CodeBuffer &buffer, double x, double y, int cellSize)
{
    const int line = std::clamp(wholeCells(y, cellSize, buffer.topLine()), 0, buffer.lineCount() - 1);
    int column = wholeCells(x, cellSize, buffer.leftColumn());
    column = std::max(std::min(column, int(buffer.line(line).size()) - 1), 0);
    buffer.setCursor(line, column);
    buffer.ScrollToCursor();
}

bool CodeDrag::move(CodeBuffer &buffer, double x, double y, int cellSize)
{
    if (!active_) {
        active_ = true;
        startX_ = wholeCells(x, 1, 0);
        startY_ = wholeCells(y, 1, 0);
        return false;
    }
    buffer.setScroll(wholeCells(startY_ - y, cellSize, buffer.topLine()),
                     wholeCells(startX_ - x, cellSize, buffer.leftColumn()));
    return true;
}

} // namespace quill
