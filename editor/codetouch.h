#pragma once

#include <QPoint>

namespace quill {

class CodeBuffer;

// A tap on the code view at (x, y) view pixels: the cursor goes to the
// character under the finger, or to the last character of the line when the
// tap is on or beyond its end (column 0 on an empty line), onto the last line
// when below the text; then the cursor is scrolled into view. Touches neither
// the selection nor CodeModified.
void tapCodeView(CodeBuffer &buffer, double x, double y, int cellSize);

// Dragging the view scrolls it: every move adds the whole displacement since
// the drag began, in cells, to the scroll window (never below 0). The first
// move only records where the drag began; the cursor does not move.
class CodeDrag {
public:
    // Returns whether the scroll window may have changed.
    bool move(CodeBuffer &buffer, double x, double y, int cellSize);
    void release() { active_ = false; }
    bool active() const { return active_; }

private:
    bool active_ = false;
    int startX_ = 0;
    int startY_ = 0;
};

// The mouse wheel scrolls the view through the same scroll window as a drag:
// three lines a notch (120 units of the wheel's angle), three columns a
// notch turned sideways or with Shift held. Wheels that turn in finer steps
// add up to whole lines. Turning towards the text's end stops once the last
// line stands at the top, or the end of the longest line in view at the
// left; a view dragged past that is only ever scrolled back. The cursor does
// not move.
class CodeWheel {
public:
    static constexpr int NotchUnits = 120;
    static constexpr int CellsPerNotch = 3;

    // Returns whether the scroll window changed.
    bool turn(CodeBuffer &buffer, QPoint angleDelta, bool shift);

private:
    int lineUnits_ = 0;    // what is left of the turn below a whole line
    int columnUnits_ = 0;
};

} // namespace quill
