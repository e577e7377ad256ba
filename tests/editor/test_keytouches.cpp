// Fingers on the on-screen keyboard as key presses: order, repeats, slide-offs
// and fingers that vanish. Keys are named by letters; the runs read as the
// text they would type.
#include "editor/keytouches.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill {
namespace {

struct Step {
    enum Kind { Press, Move, Release, Cancel, CancelAll, Advance } kind;
    int finger = 0;
    char key = 0;  // 0: no key under the finger
    qint64 time = 0;
};

Step press(int finger, char key, qint64 time) { return {Step::Press, finger, key, time}; }
Step move(int finger, char key, qint64 time) { return {Step::Move, finger, key, time}; }
Step release(int finger, char key, qint64 time) { return {Step::Release, finger, key, time}; }
Step cancel(int finger) { return {Step::Cancel, finger, 0, 0}; }
Step cancelAll() { return {Step::CancelAll, 0, 0, 0}; }
Step advance(qint64 time) { return {Step::Advance, 0, 0, time}; }

int keyOf(char key) { return key ? int(key) : -1; }

std::string play(KeyTouches &touches, const std::vector<Step> &steps)
{
    for (const Step &step : steps) {
        switch (step.kind) {
        case Step::Press: touches.press(step.finger, keyOf(step.key), step.time); break;
        case Step::Move: touches.move(step.finger, keyOf(step.key), step.time); break;
        case Step::Release: touches.release(step.finger, keyOf(step.key), step.time); break;
        case Step::Cancel: touches.cancel(step.finger); break;
        case Step::CancelAll: touches.cancelAll(); break;
        case Step::Advance: touches.advance(step.time); break;
        }
    }
    std::string typed;
    for (const int key : touches.takeRuns())
        typed += char(key);
    return typed;
}

TEST(KeyTouches, FingersTypeInTheOrderTheyWentDown)
{
    struct Case {
        const char *label;
        std::vector<Step> steps;
        std::string typed;
    };
    const std::vector<Case> cases = {
        {"one tap", {press(0, 'a', 0), release(0, 'a', 80)}, "a"},
        {"a press alone types nothing", {press(0, 'a', 0), advance(500)}, ""},
        {"two thumbs rolling over", {press(0, 'h', 0), press(1, 'i', 50), release(0, 'h', 90), release(1, 'i', 130)}, "hi"},
        {"the second lifts first", {press(0, 'h', 0), press(1, 'i', 50), release(1, 'i', 90), release(0, 'h', 130)}, "hi"},
        {"three fingers lifting backwards",
         {press(0, 'a', 0), press(1, 'b', 10), press(2, 'c', 20), release(2, 'c', 30), release(1, 'b', 40), release(0, 'a', 50)},
         "abc"},
        {"the same key under two fingers", {press(0, 'a', 0), press(1, 'a', 10), release(1, 'a', 20), release(0, 'a', 30)}, "aa"},
        {"a waiting key goes when the earlier finger slides off",
         {press(0, 'a', 0), press(1, 'b', 10), release(1, 'b', 20), move(0, 0, 30)}, "b"},
        {"a waiting key goes at the earlier key's first repeat",
         {press(0, 'a', 0), press(1, 'b', 10), release(1, 'b', 20), advance(600)}, "ab"},
        {"fingers down at the same moment count by their ids",
         {press(3, 'x', 0), press(1, 'y', 0), release(3, 'x', 40), release(1, 'y', 40)}, "yx"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        KeyTouches touches;
        EXPECT_EQ(play(touches, c.steps), c.typed);
    }
}

TEST(KeyTouches, AHeldKeyRepeatsOnItsOwn)
{
    struct Case {
        const char *label;
        std::vector<Step> steps;
        std::string typed;
    };
    const std::vector<Case> cases = {
        {"nothing before 600 ms", {press(0, 'a', 0), advance(599)}, ""},
        {"the first repeat at 600 ms", {press(0, 'a', 0), advance(600)}, "a"},
        {"then every 100 ms", {press(0, 'a', 0), advance(600), advance(699), advance(700), advance(800)}, "aaa"},
        {"and once more when it lifts", {press(0, 'a', 0), advance(600), advance(700), release(0, 'a', 750)}, "aaa"},
        {"a release after the due time gives the repeat first",
         {press(0, 'a', 0), release(0, 'a', 650)}, "aa"},
        {"a late timer makes up nothing", {press(0, 'a', 0), advance(1000), advance(1050), advance(1100)}, "aa"},
        {"two held keys repeat each on its own time",
         {press(0, 'a', 0), press(1, 'b', 250), advance(600), advance(700), advance(800), advance(850), advance(900)},
         "aaaba"},
        {"a tap beside a held key is typed at once",
         {press(0, 'a', 0), advance(600), press(1, 'b', 620), release(1, 'b', 650), advance(700)}, "aba"},
        {"a finger that slides off stops repeating", {press(0, 'a', 0), advance(600), move(0, 'b', 650), advance(2000)}, "a"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        KeyTouches touches;
        EXPECT_EQ(play(touches, c.steps), c.typed);
    }
}

TEST(KeyTouches, FingersThatLeaveOrVanishNeverType)
{
    struct Case {
        const char *label;
        std::vector<Step> steps;
        std::string typed;
    };
    const std::vector<Case> cases = {
        {"slides onto another key and lifts there", {press(0, 'a', 0), move(0, 'b', 40), release(0, 'b', 80)}, ""},
        {"slides off and back again", {press(0, 'a', 0), move(0, 0, 40), move(0, 'a', 60), release(0, 'a', 80)}, ""},
        {"lifts over another control", {press(0, 'a', 0), release(0, 0, 80)}, ""},
        {"wobbles on its own key", {press(0, 'a', 0), move(0, 'a', 20), move(0, 'a', 40), release(0, 'a', 80)}, "a"},
        {"a touch cancel", {press(0, 'a', 0), press(1, 'b', 10), cancelAll(), release(0, 'a', 40), release(1, 'b', 50), advance(2000)}, ""},
        {"one finger vanishes", {press(0, 'a', 0), press(1, 'b', 10), cancel(0), release(1, 'b', 40), release(0, 'a', 50)}, "b"},
        {"cancel keeps what had lifted already",
         {press(0, 'a', 0), press(1, 'b', 10), release(1, 'b', 20), cancelAll()}, "b"},
        {"a finger id pressed again before its release",
         {press(0, 'a', 0), press(0, 'b', 40), release(0, 'b', 80), release(0, 'a', 90)}, "b"},
        {"a press between the keys", {press(0, 0, 0), move(0, 'a', 20), release(0, 'a', 40), advance(2000)}, ""},
        {"an unknown finger", {release(7, 'a', 10), move(8, 'a', 20), cancel(9)}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        KeyTouches touches;
        EXPECT_EQ(play(touches, c.steps), c.typed);
        EXPECT_TRUE(touches.heldKeys().empty());
        EXPECT_FALSE(touches.nextRepeat());
    }
}

TEST(KeyTouches, TheEleventhFingerIsNoKeyPress)
{
    KeyTouches touches;
    std::vector<Step> steps;
    for (int finger = 0; finger < 11; ++finger)
        steps.push_back(press(finger, char('a' + finger), 0));
    EXPECT_EQ(play(touches, steps), "");
    EXPECT_EQ(touches.fingers(), KeyTouches::MaxFingers);
    EXPECT_FALSE(touches.isDown('k'));
    EXPECT_TRUE(touches.isDown('j'));
    steps.clear();
    for (int finger = 10; finger >= 0; --finger)
        steps.push_back(release(finger, char('a' + finger), 50));
    EXPECT_EQ(play(touches, steps), "abcdefghij");
    EXPECT_EQ(touches.fingers(), 0);

    // Eleven at once, reported in any order: the highest id is the extra one.
    KeyTouches atOnce;
    for (const int finger : {5, 10, 0, 9, 1, 2, 3, 4, 6, 7, 8})
        atOnce.press(finger, 'a' + finger, 200);
    EXPECT_FALSE(atOnce.isDown('k'));
    for (int finger = 0; finger < 11; ++finger)
        atOnce.release(finger, 'a' + finger, 250);
    std::string typed;
    for (const int key : atOnce.takeRuns())
        typed += char(key);
    EXPECT_EQ(typed, "abcdefghij");

    // Once a finger has lifted, a new one counts again.
    for (int finger = 0; finger < 10; ++finger)
        touches.press(finger, 'a', 100);
    touches.release(0, 'a', 110);
    touches.press(20, 'z', 120);
    EXPECT_TRUE(touches.isDown('z'));
}

TEST(KeyTouches, KeysShowPressedWhileAFingerHoldsThem)
{
    KeyTouches touches;
    touches.press(0, 'a', 0);
    touches.press(1, 'a', 10);
    touches.press(2, 'b', 20);
    EXPECT_TRUE(touches.isDown('a'));
    EXPECT_TRUE(touches.isDown('b'));
    touches.release(0, 'a', 30);
    EXPECT_TRUE(touches.isDown('a')) << "the second finger still holds it";
    touches.move(1, 'c', 40);
    EXPECT_FALSE(touches.isDown('a'));
    EXPECT_FALSE(touches.isDown('c')) << "sliding onto a key does not press it";
    EXPECT_EQ(touches.heldKeys(), std::vector<int>{'b'});
    EXPECT_EQ(touches.nextRepeat(), 620);
}

} // namespace
} // namespace quill
