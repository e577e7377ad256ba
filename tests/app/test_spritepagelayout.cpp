// The Sprite page laid out in phone-shaped and desktop-shaped windows: the
// canvas stays a whole square and no tool button leaves the page.
#include "app/layoutscreen.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

struct PageCase {
    const char *name;
    int clientWidth, clientHeight, spriteSize;
    QRect canvas;
    int canvasZoom;
};

TEST(SpritePageLayout, CanvasWholeAndEveryToolButtonOnThePage)
{
    const std::vector<PageCase> cases = {
        {"design page, unchanged", 384, 567, 16, {0, 43, 384, 384}, 24},
        {"1000 x 800", 1000, 800, 16, {0, 43, 592, 592}, 37},
        {"1920 x 1080", 1920, 1080, 16, {0, 43, 814, 814}, 50},
        {"1920 x 1080, sprite 127", 1920, 1080, 127, {0, 43, 814, 814}, 6},
        {"1000 x 800, sprite 1", 1000, 800, 1, {0, 43, 592, 592}, 592},
    };
    for (const PageCase &c : cases) {
        SCOPED_TRACE(c.name);
        LayoutInput input;
        input.clientWidth = c.clientWidth;
        input.clientHeight = c.clientHeight;
        input.spriteSize = c.spriteSize;
        const LayoutResult layout = computeLayout(input);
        const QRect page(0, 0, layout.pageWidth, layout.pageHeight);

        EXPECT_EQ(layout.canvas, c.canvas);
        EXPECT_EQ(layout.canvasZoom, c.canvasZoom);
        EXPECT_TRUE(page.contains(layout.canvas)) << "the canvas is whole";
        EXPECT_LE(layout.canvasZoom * c.spriteSize, layout.canvas.width()) << "the grid fits the canvas";
        EXPECT_EQ(layout.toolBar.top(), layout.canvas.bottom() + 1) << "tool bar right under the canvas";
        EXPECT_EQ(layout.toolBar.bottom(), page.bottom());

        const QRect colorBar = layout.colorBar.translated(layout.toolBar.topLeft());
        EXPECT_TRUE(layout.toolBar.contains(colorBar));
        const QRect preview = layout.preview.translated(layout.toolBar.topLeft());
        EXPECT_TRUE(layout.toolBar.contains(preview));
        for (int tool = 0; tool < ToolButtonCount; ++tool) {
            const QRect button = layout.toolButtons[tool].translated(layout.toolBar.topLeft());
            EXPECT_TRUE(page.contains(button)) << "tool " << tool;
            EXPECT_TRUE(layout.toolBar.contains(button)) << "tool " << tool;
            EXPECT_FALSE(button.intersects(colorBar)) << "tool " << tool;
            EXPECT_FALSE(button.intersects(preview)) << "tool " << tool;
            EXPECT_GT(button.height(), 0) << "tool " << tool;
        }
    }
}

} // namespace
} // namespace quill
