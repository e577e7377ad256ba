#pragma once

namespace quill {

// The on-screen keyboard's layer as the key commands see it: Hm and En read
// ShiftState, Sh toggles it. Setting it recaptions every key from layer 2
// (shifted) or layer 1.
class KeyboardLayer {
public:
    virtual ~KeyboardLayer() = default;
    virtual bool shiftState() const = 0;
    virtual void setShiftState(bool shifted) = 0;

    // Back to the first layer: ShiftState off and the keys captioned from
    // layer 1 (after Sl, Cp, Ct and the pick list's jump, sprite and sound
    // choices).
    void Unshift() { setShiftState(false); }
};

} // namespace quill
