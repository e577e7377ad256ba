#pragma once

namespace quill {

// How a held on-screen key repeats, under a finger or the mouse: the first
// repeat FirstMs after the press, then one every IntervalMs until it lets go.
struct KeyRepeat {
    static constexpr int FirstMs = 600;
    static constexpr int IntervalMs = 100;
};

} // namespace quill
