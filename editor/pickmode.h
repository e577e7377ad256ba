#pragma once

namespace quill {

// What the pick list currently offers. It keeps its value after the list
// closes.
enum class PickMode {
    None = 0,
    Keywords = 1,
    Templates = 2,
    Palettes = 3,
    JumpTargets = 4,
    SpriteImages = 5,
    SoundFiles = 6,
};

} // namespace quill
