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

namespace {

// Whole cells for the units turned so far; the rest stays for the next turn.
// A positive angle turns the wheel away from the user: towards the start.
int takeCells(int &units, int turned)
{
    units += turned;
    const int cells = units * CodeWheel::CellsPerNotch / CodeWheel::NotchUnits;
    units -= cells * CodeWheel::NotchUnits / CodeWheel::CellsPerNotch;
    return -cells;
}

// Moves the scroll value by `cells`, never below 0 and never further past
// `last` than it already is.
int scrolled(int value, int cells, int last)
{
    const qint64 target = qint64(value) + cells;
    if (cells > 0)
        return int(std::min<qint64>(target, std::max(value, last)));
    return int(std::max<qint64>(target, 0));
}

} // namespace

bool CodeWheel::turn(CodeBuffer &buffer, QPoint angleDelta, bool shift)
{
    const int sideways = angleDelta.x() + (shift ? angleDelta.y() : 0);
    const int lines = takeCells(lineUnits_, shift ? 0 : angleDelta.y());
    const int columns = takeCells(columnUnits_, sideways);
    if (lines == 0 && columns == 0)
        return false;

    const int top = buffer.topLine();
    const int left = buffer.leftColumn();
    int longest = 0;
    const int shownEnd = std::min(buffer.lineCount(), top + buffer.visibleLines());
    for (int line = top; line < shownEnd; ++line)
        longest = std::max(longest, int(buffer.line(line).size()));
    buffer.setScroll(scrolled(top, lines, buffer.lineCount() - 1), scrolled(left, columns, longest - 1));
    return buffer.topLine() != top || buffer.leftColumn() != left;
}

} // namespace quill
