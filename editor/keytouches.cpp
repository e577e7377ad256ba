#include "editor/keytouches.h"

#include "editor/keyrepeat.h"

#include <algorithm>
#include <utility>

namespace quill {

KeyTouches::Finger *KeyTouches::downFinger(int id)
{
    for (Finger &finger : fingers_)
        if (finger.down && finger.id == id)
            return &finger;
    return nullptr;
}

void KeyTouches::letGo(Finger &finger)
{
    finger.down = false;
    finger.onKey = false;
}

void KeyTouches::press(int finger, int key, qint64 now)
{
    advance(now);
    if (Finger *old = downFinger(finger))
        letGo(*old);
    if (fingers() >= MaxFingers) {
        // Of the fingers that went down at once, those with the highest ids
        // are the extra ones, whichever was reported first.
        const auto last = std::find_if(fingers_.rbegin(), fingers_.rend(), [](const Finger &other) { return other.down; });
        if (last == fingers_.rend() || last->pressedAt != now || last->id < finger || last->typed || last->owed > 0) {
            flush();
            return;
        }
        letGo(*last);
    }
    Finger pressed;
    pressed.id = finger;
    pressed.key = key;
    pressed.onKey = key >= 0;
    pressed.pressedAt = now;
    pressed.nextRepeat = now + KeyRepeat::FirstMs;
    const auto later = std::find_if(fingers_.begin(), fingers_.end(), [&](const Finger &other) {
        return other.pressedAt > now || (other.pressedAt == now && other.id > finger);
    });
    fingers_.insert(later, pressed);
    flush();
}

void KeyTouches::move(int finger, int keyUnder, qint64 now)
{
    advance(now);
    if (Finger *moved = downFinger(finger); moved && moved->onKey && keyUnder != moved->key)
        moved->onKey = false;
    flush();
}

void KeyTouches::release(int finger, int keyUnder, qint64 now)
{
    advance(now);
    if (Finger *lifted = downFinger(finger)) {
        if (lifted->onKey && keyUnder == lifted->key)
            ++lifted->owed;
        letGo(*lifted);
    }
    flush();
}

void KeyTouches::cancel(int finger)
{
    if (Finger *vanished = downFinger(finger))
        letGo(*vanished);
    flush();
}

void KeyTouches::cancelAll()
{
    for (Finger &finger : fingers_)
        letGo(finger);
    flush();
}

void KeyTouches::advance(qint64 now)
{
    bool due = false;
    for (Finger &finger : fingers_) {
        if (finger.onKey && finger.nextRepeat <= now) {
            ++finger.owed;
            finger.nextRepeat = now + KeyRepeat::IntervalMs;
            due = true;
        }
    }
    if (due)
        flush();
}

void KeyTouches::flush()
{
    // Runs go out in the order the fingers went down; a finger that holds
    // its key and has not typed yet keeps back everything after it.
    for (Finger &finger : fingers_) {
        if (finger.owed > 0) {
            runs_.insert(runs_.end(), std::size_t(finger.owed), finger.key);
            finger.owed = 0;
            finger.typed = true;
        }
        if (finger.onKey && !finger.typed)
            break;
    }
    std::erase_if(fingers_, [](const Finger &finger) { return !finger.down && finger.owed == 0; });
}

std::vector<int> KeyTouches::takeRuns()
{
    return std::exchange(runs_, {});
}

std::optional<qint64> KeyTouches::nextRepeat() const
{
    std::optional<qint64> next;
    for (const Finger &finger : fingers_)
        if (finger.onKey && (!next || finger.nextRepeat < *next))
            next = finger.nextRepeat;
    return next;
}

bool KeyTouches::isDown(int key) const
{
    return std::any_of(fingers_.begin(), fingers_.end(),
                       [key](const Finger &finger) { return finger.onKey && finger.key == key; });
}

int KeyTouches::fingers() const
{
    return int(std::count_if(fingers_.begin(), fingers_.end(), [](const Finger &finger) { return finger.down; }));
}

std::vector<int> KeyTouches::heldKeys() const
{
    std::vector<int> keys;
    for (const Finger &finger : fingers_)
        if (finger.onKey && std::find(keys.begin(), keys.end(), finger.key) == keys.end())
            keys.push_back(finger.key);
    return keys;
}

} // namespace quill
