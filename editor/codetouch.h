#pragma once

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

} // namespace quill
