#include "sprite/spriteeditor.h"
#include "tests/sprite/celtext.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using quill::PenKind;

TEST(CanvasCell, StrictBoundsAndTruncation)
{
    struct Case {
        const char *name;
        QPointF position;
        bool inside;
        int x, y;
    };
    const std::vector<Case> cases = {
        {"x exactly 0", {0, 5}, false, 0, 0},
        {"x exactly W x Z", {16 * 24, 5}, false, 0, 0},
        {"y exactly W x Z", {5, 16 * 24}, false, 0, 0},
        {"just inside", {0.1, 0.1}, true, 0, 0},
        {"47.9 is still column 1", {47.9, 0.5}, true, 1, 0},
        {"48 is column 2", {48, 0.5}, true, 2, 0},
        {"last cell", {383.9, 383.9}, true, 15, 15},
        {"negative", {-1, 5}, false, 0, 0},
    };
    for (const Case &c : cases) {
        const auto cell = quill::canvasCellAt(c.position, 24, 16);
        ASSERT_EQ(cell.has_value(), c.inside) << c.name;
        if (cell) {
            EXPECT_EQ(cell->x, c.x) << c.name;
            EXPECT_EQ(cell->y, c.y) << c.name;
        }
    }
}

// A 4 x 4 editor holding `before`, SelectedColor 3.
std::unique_ptr<quill::SpriteEditor> editorWith(const QStringList &before)
{
    auto editor = std::make_unique<quill::SpriteEditor>(4);
    const std::vector<std::uint8_t> pixels = cel(before);
    for (int i = 0; i < 16; ++i)
        editor->document().setPixel(i % 4, i / 4, pixels[i]);
    editor->selectColor(3);
    return editor;
}

QStringList celRows(const quill::SpriteEditor &editor)
{
    const quill::ConstCelPixels current = editor.document().currentCelPixels();
    return rows({current.begin(), current.end()}, 4);
}

struct TapCase {
    const char *name;
    int penPresses;   // presses of Pn before the tap
    int x, y;
    bool changed;
    QStringList after;
};

TEST(SpriteEditor, TapWithEachPenKind)
{
    const QStringList before = {"0000", "0110", "0110", "1000"};
    const std::vector<TapCase> cases = {
        {"pen sets one pixel", 0, 0, 0, true, {"3000", "0110", "0110", "1000"}},
        {"fill takes the connected region", 1, 1, 1, true, {"0000", "0330", "0330", "1000"}},
        {"replace takes every pixel of the colour", 2, 1, 1, true, {"0000", "0330", "0330", "3000"}},
        {"fill around the block", 1, 0, 0, true, {"3333", "3113", "3113", "1333"}},
    };
    for (const TapCase &c : cases) {
        const std::unique_ptr<quill::SpriteEditor> made = editorWith(before);
        quill::SpriteEditor &editor = *made;
        for (int i = 0; i < c.penPresses; ++i)
            editor.cyclePenKind();
        EXPECT_EQ(editor.tap(c.x, c.y), c.changed) << c.name;
        EXPECT_EQ(celRows(editor), c.after) << c.name;
        EXPECT_EQ(editor.penKind(), PenKind::Pen) << c.name << ": one-shot";
        EXPECT_TRUE(editor.document().UndoAvailable()) << c.name;
        editor.document().Undo();
        EXPECT_EQ(celRows(editor), before) << c.name;
    }
}

TEST(SpriteEditor, ATapThatChangesNothingStillSnapshotsAndReturnsToPen)
{
    for (int presses = 0; presses < 3; ++presses) {
        const std::unique_ptr<quill::SpriteEditor> made = editorWith({"3000", "0000", "0000", "0000"});
        quill::SpriteEditor &editor = *made;
        editor.document().setPixel(1, 1, 5);   // not in the snapshot below
        for (int i = 0; i < presses; ++i)
            editor.cyclePenKind();
        EXPECT_FALSE(editor.tap(0, 0)) << presses;
        EXPECT_EQ(editor.penKind(), PenKind::Pen) << presses;
        editor.document().setPixel(1, 1, 0);
        editor.document().Undo();   // the snapshot of this tap, with the 5
        EXPECT_EQ(editor.document().pixel(1, 1), 5) << presses;
    }
}

TEST(SpriteEditor, DragDrawsWithPenOnlyAndOneUndoTakesTheStrokeBack)
{
    const std::unique_ptr<quill::SpriteEditor> made = editorWith({"0000", "0000", "0000", "0000"});
    quill::SpriteEditor &editor = *made;
    editor.cyclePenKind();   // Fill
    EXPECT_FALSE(editor.drag(1, 1)) << "no drawing while Fill waits for its tap";
    editor.tap(0, 0);        // fills everything with 3, Pen again
    editor.selectColor(7);
    EXPECT_TRUE(editor.tap(0, 0));
    EXPECT_TRUE(editor.drag(1, 0));
    EXPECT_TRUE(editor.drag(2, 0));
    EXPECT_FALSE(editor.drag(2, 0));
    EXPECT_EQ(celRows(editor), (QStringList{"7773", "3333", "3333", "3333"}));
    editor.document().Undo();
    EXPECT_EQ(celRows(editor), (QStringList{"3333", "3333", "3333", "3333"}));
}

TEST(SpriteEditor, PenCaptionsCycle)
{
    quill::SpriteEditor editor(4);
    QStringList captions;
    for (int i = 0; i < 4; ++i) {
        captions << quill::penKindCaption(editor.penKind());
        editor.cyclePenKind();
    }
    EXPECT_EQ(captions, (QStringList{"Pn", "Fl", "Rp", "Pn"}));
}

TEST(SpriteEditor, SelectedColourStaysAnIndex)
{
    quill::SpriteEditor editor(4);
    EXPECT_EQ(editor.SelectedColor(), 2);
    editor.selectColor(16);
    EXPECT_EQ(editor.SelectedColor(), 15);
    editor.selectColor(-1);
    EXPECT_EQ(editor.SelectedColor(), 0);
}

} // namespace
