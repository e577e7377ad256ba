#pragma once

namespace quill {

// The preview's animation: while playing, the preview shows the cels in
// order, one per tick, and the canvas keeps the current cel. Any change of
// the document or of the current cel stops it.
//
//   PreviewAnimation a;  a.toggle(3);  a.tick(3);  a.shownCel(0) == 1
class PreviewAnimation {
public:
    static constexpr int FramesPerSecond = 8;
    static constexpr int TickMilliseconds = 1000 / FramesPerSecond;

    bool playing() const { return playing_; }
    // Starts at the first cel, or stops.
    void toggle(int celCount);
    void stop() { playing_ = false; }
    // The next frame; wraps after the last cel.
    void tick(int celCount);
    // The cel the preview shows.
    int shownCel(int currentCel) const { return playing_ ? frame_ : currentCel; }

private:
    bool playing_ = false;
    int frame_ = 0;
};

} // namespace quill
