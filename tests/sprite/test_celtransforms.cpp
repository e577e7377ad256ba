#include "sprite/celtransforms.h"
#include "sprite/spriteeditor.h"
#include "tests/sprite/celtext.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using quill::ShiftDirection;
using Cel = std::vector<std::uint8_t>;
using Transform = std::function<void(quill::ConstCelPixels, quill::CelPixels, int)>;

Cel apply(const Transform &transform, const Cel &cel, int size, int times = 1)
{
    Cel current = cel;
    for (int i = 0; i < times; ++i) {
        Cel work(current.size(), 0xEE);
        transform(current, work, size);
        current = work;
    }
    return current;
}

Transform shiftBy(ShiftDirection direction)
{
    return [direction](quill::ConstCelPixels c, quill::CelPixels w, int s) { quill::ShiftCel(c, w, s, direction); };
}

struct TransformCase {
    const char *name;
    Transform transform;
    QStringList before;
    QStringList after;
};

TEST(CelTransforms, MovePixelsAsDrawn)
{
    const QStringList sample = {"120", "000", "003"};
    const std::vector<TransformCase> cases = {
        {"rotate: the top-right pixel ends top-left", quill::RotateCel, {"001", "000", "000"}, {"100", "000", "000"}},
        {"rotate a quarter counter-clockwise", quill::RotateCel, sample, {"003", "200", "100"}},
        {"mirror left-right", quill::MirrorLeftRight, sample, {"021", "000", "300"}},
        {"mirror top-bottom", quill::MirrorTopBottom, sample, {"003", "000", "120"}},
        {"shift up wraps row 0 to the bottom", shiftBy(ShiftDirection::Up), sample, {"000", "003", "120"}},
        {"shift right wraps the last column to the left", shiftBy(ShiftDirection::Right), sample, {"012", "000", "300"}},
        {"shift down wraps the last row to the top", shiftBy(ShiftDirection::Down), sample, {"003", "120", "000"}},
        {"shift left wraps column 0 to the right", shiftBy(ShiftDirection::Left), sample, {"201", "000", "030"}},
        {"one pixel cel", quill::RotateCel, {"7"}, {"7"}},
    };
    for (const TransformCase &c : cases) {
        const int size = static_cast<int>(c.before.size());
        EXPECT_EQ(rows(apply(c.transform, cel(c.before), size), size), c.after) << c.name;
    }
}

TEST(CelTransforms, Identities)
{
    std::mt19937 random(7);
    for (const int size : {1, 2, 5, 16, 20, 127}) {
        Cel pixels(size * size);
        for (auto &p : pixels)
            p = static_cast<std::uint8_t>(random() % 16);
        EXPECT_EQ(apply(quill::RotateCel, pixels, size, 4), pixels) << "four rotations, size " << size;
        EXPECT_EQ(apply(quill::MirrorLeftRight, pixels, size, 2), pixels) << "two Fv, size " << size;
        EXPECT_EQ(apply(quill::MirrorTopBottom, pixels, size, 2), pixels) << "two Fh, size " << size;
        EXPECT_EQ(apply(quill::MirrorTopBottom, apply(quill::MirrorLeftRight, pixels, size), size),
                  apply(quill::RotateCel, pixels, size, 2))
            << "Fv then Fh is a half turn, size " << size;
        for (int d = 0; d < 4; ++d) {
            const Transform shift = shiftBy(static_cast<ShiftDirection>(d));
            EXPECT_EQ(apply(shift, pixels, size, size), pixels) << "S shifts " << d << ", size " << size;
            if (size > 1)
                EXPECT_NE(apply(shift, pixels, size, 1), pixels) << "one shift " << d << ", size " << size;
        }
    }
}

TEST(CelTransforms, ShiftOfOnePixelAtDefaultSize)
{
    const int size = 16;
    struct Case {
        ShiftDirection direction;
        int x, y, toX, toY;
    };
    for (const Case c : std::vector<Case>{{ShiftDirection::Right, 15, 3, 0, 3},
                                          {ShiftDirection::Down, 4, 15, 4, 0},
                                          {ShiftDirection::Up, 4, 0, 4, 15},
                                          {ShiftDirection::Left, 0, 9, 15, 9}}) {
        Cel pixels(size * size, 0);
        pixels[c.y * size + c.x] = 5;
        const Cel moved = apply(shiftBy(c.direction), pixels, size);
        EXPECT_EQ(moved[c.toY * size + c.toX], 5);
        EXPECT_EQ(std::count(moved.begin(), moved.end(), 5), 1);
    }
}

TEST(CelTransforms, DirectionButtonCyclesURDL)
{
    quill::SpriteEditor editor(16);
    QString captions = quill::shiftDirectionCaption(editor.shiftDirection());
    for (int i = 0; i < 4; ++i) {
        editor.cycleShiftDirection();
        captions += quill::shiftDirectionCaption(editor.shiftDirection());
    }
    EXPECT_EQ(captions, "URDLU");
}

TEST(CelTransforms, ActOnTheCurrentCelOnlyAndUndoTakesThemBackWithTheLastDrawing)
{
    quill::SpriteEditor editor(4);
    quill::SpriteDocument &doc = editor.document();
    doc.setPixel(3, 0, 1);
    doc.addCel();
    doc.setPixel(3, 0, 1);
    doc.previousCel();
    const std::vector<std::uint8_t> beforeTap = doc.SpriteBuffer();
    editor.tap(0, 3);   // snapshot, then pixel (0, 3)
    editor.rotate();
    editor.mirrorLeftRight();
    editor.shift();
    EXPECT_EQ(doc.cel(1)[3], 1) << "the other cel is untouched";
    EXPECT_EQ(doc.celLabel(), "1/2");
    doc.Undo();
    EXPECT_EQ(doc.SpriteBuffer(), beforeTap);
}

} // namespace
