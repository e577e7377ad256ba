#pragma once

#include <QtGlobal>

#include <optional>
#include <vector>

namespace quill {

// The fingers on the on-screen keyboard, each its own key press. A key is
// named by a number the keyboard chooses (-1: no key under the finger).
//
// A finger types its key once when it lifts over the key it went down on;
// held there, the key repeats on its own as KeyRepeat times it (so a held key
// gives its repeats and, when it lifts, one more, as a held mouse button does). A
// finger that leaves its key before lifting has let go of it for good: the
// key no longer shows pressed, repeats no more and does not type, even if the
// finger comes back. Keys type in the order their fingers went down: a key
// whose finger lifts while an earlier finger still holds a key that has not
// typed yet waits for that one (at most until its first repeat). Fingers
// that went down at the same moment count in the order of their ids.
//
// A finger that vanishes (cancel) types nothing; the eleventh finger and any
// after it are not key presses at all; a finger id pressed again before its
// release counts as a new finger, the old one vanished. A late timer does
// not make up the repeats it missed.
//
//   KeyTouches touches;
//   touches.press(0, keyA, 0);
//   touches.press(1, keyB, 40);
//   touches.release(1, keyB, 90);    // B waits for A
//   touches.release(0, keyA, 120);
//   touches.takeRuns();              // {keyA, keyB}
class KeyTouches {
public:
    static constexpr int MaxFingers = 10;

    // Times are milliseconds on one steady clock. Each call first gives the
    // repeats that fell due by `now`.
    void press(int finger, int key, qint64 now);
    void move(int finger, int keyUnder, qint64 now);
    void release(int finger, int keyUnder, qint64 now);
    // The finger vanished without a release; unknown fingers are ignored.
    void cancel(int finger);
    void cancelAll();
    // Gives the repeats due by `now`.
    void advance(qint64 now);

    // The keys to run, in order, since the last call.
    std::vector<int> takeRuns();
    // When the next repeat falls due, if any key is held.
    std::optional<qint64> nextRepeat() const;
    // A finger holds the key: it shows pressed.
    bool isDown(int key) const;
    // Fingers down on the keyboard (on a key or not).
    int fingers() const;
    // Fingers holding a key.
    std::vector<int> heldKeys() const;

private:
    struct Finger {
        int id = 0;
        int key = -1;
        bool down = true;    // not yet lifted or vanished
        bool onKey = false;  // down, and has not left its key
        bool typed = false;  // has typed at least once
        int owed = 0;        // runs due but waiting for an earlier finger
        qint64 pressedAt = 0;
        qint64 nextRepeat = 0;
    };

    Finger *downFinger(int id);
    void letGo(Finger &finger);
    void flush();

    std::vector<Finger> fingers_;  // in the order they went down
    std::vector<int> runs_;
};

} // namespace quill
