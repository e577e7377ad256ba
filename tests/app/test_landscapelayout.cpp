// The layout pass on the screens QuillIDE runs on: phones held upright keep
// the design's layout exactly; handhelds, tablets, laptops and desktops held
// sideways get the landscape layout, at device pixel ratios 1, 1.5 and 2.
#include "app/landscapelayout.h"
#include "app/layoutscreen.h"
#include "tests/support/defaultcaptions.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <climits>
#include <cmath>
#include <vector>

namespace quill {
namespace {

using testsupport::defaultCaptions;

// A screen as the window sees it: the client area in logical pixels is the
// screen's size divided by the ratio (the window filling the screen).
struct Screen {
    const char *name;
    int width, height;
    double ratio;
};

LayoutInput windowOn(const Screen &screen, bool keyboardHidden = false)
{
    LayoutInput input;
    input.clientWidth = static_cast<int>(screen.width / screen.ratio);
    input.clientHeight = static_cast<int>(screen.height / screen.ratio);
    input.devicePixelRatio = screen.ratio;
    input.keyCaptions = defaultCaptions();
    input.landscapeLayout = true;
    input.keyboardHidden = keyboardHidden;
    return input;
}

const std::vector<Screen> landscapeScreens = {
    {"800 x 480 panel", 800, 480, 1},
    {"1280 x 800 tablet", 1280, 800, 1},
    {"1920 x 1080 desktop", 1920, 1080, 1},
    {"1280 x 800 at ratio 1.5", 1280, 800, 1.5},
    {"1280 x 800 at ratio 2", 1280, 800, 2},
};

bool wholeDevicePixels(int logical, double ratio)
{
    const double device = logical * ratio;
    return std::abs(device - std::round(device)) < 1e-9;
}

// The smallest whole scale that makes whole device pixels at this ratio.
int scaleStep(double ratio)
{
    int step = 1;
    while (!wholeDevicePixels(step, ratio))
        ++step;
    return step;
}

struct Placed {
    const char *name;
    QRect rect;
};

// Every pair of rectangles apart, every one inside its parent.
void expectApartAndInside(const std::vector<Placed> &controls, const QRect &parent, const char *where)
{
    for (std::size_t i = 0; i < controls.size(); ++i) {
        EXPECT_TRUE(parent.contains(controls[i].rect))
            << where << ": " << controls[i].name << " leaves its parent";
        EXPECT_FALSE(controls[i].rect.isEmpty()) << where << ": " << controls[i].name << " is empty";
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(controls[i].rect.intersects(controls[j].rect))
                << where << ": " << controls[i].name << " overlaps " << controls[j].name;
    }
}

TEST(LandscapeLayout, PhonesHeldUprightKeepTheDesignsLayoutExactly)
{
    const std::vector<Screen> screens = {
        {"design window", 384, 567, 1},
        {"480 x 800 phone", 480, 800, 1},
        {"800 x 1280 tablet held upright", 800, 1280, 1},
        {"800 x 1280 at ratio 2", 800, 1280, 2},
        {"square", 600, 600, 1},
    };
    for (const Screen &screen : screens) {
        SCOPED_TRACE(screen.name);
        for (bool hidden : {false, true}) {
            const LayoutInput input = windowOn(screen, hidden);
            LayoutInput design = input;
            design.landscapeLayout = false;
            design.keyboardHidden = false;
            design.devicePixelRatio = 1;
            const LayoutResult layout = computeLayout(input);
            EXPECT_EQ(layout, computeLayout(design)) << "keyboard hidden: " << hidden;
            EXPECT_FALSE(layout.landscape);
            EXPECT_TRUE(layout.keyboardShown);
            EXPECT_TRUE(layout.keyboardToggle.isEmpty()) << "no toggle upright";
            EXPECT_FALSE(layout.listsFitNames);
            EXPECT_EQ(layout.helpMargin, 0);
        }
    }
}

TEST(LandscapeLayout, WithoutTheWindowsRequestEveryShapeGetsTheDesignsArithmetic)
{
    LayoutInput input = windowOn({"1280 x 800", 1280, 800, 1});
    input.landscapeLayout = false;
    const LayoutResult layout = computeLayout(input);
    EXPECT_FALSE(layout.landscape);
    EXPECT_EQ(layout.cellSize, 1280 / 32);
    EXPECT_EQ(layout.canvas.left(), 0);
    EXPECT_EQ(layout.toolBar.left(), 0) << "the tool bar under the canvas";
}

TEST(LandscapeLayout, EveryControlInsideItsPageAndApart)
{
    for (const Screen &screen : landscapeScreens) {
        for (bool hidden : {false, true}) {
            SCOPED_TRACE(std::string(screen.name) + (hidden ? ", keys hidden" : ", keys shown"));
            const LayoutInput input = windowOn(screen, hidden);
            const LayoutResult layout = computeLayout(input);
            ASSERT_TRUE(layout.landscape);
            const QRect page(0, 0, layout.pageWidth, layout.pageHeight);
            const QRect menu(0, 0, layout.pageWidth, MenuBarHeight);

            // The menus: the Code page's row, and the Sprite page's with the cel label.
            expectApartAndInside({{"New", layout.newButton}, {"Open", layout.openButton},
                                  {"Save", layout.saveButton}, {"name", layout.fileEdit},
                                  {"keyboard toggle", layout.keyboardToggle}, {"Run", layout.runButton}},
                                 menu, "Code menu");
            expectApartAndInside({{"New", layout.newButton}, {"Open", layout.openButton},
                                  {"Save", layout.saveButton}, {"name", layout.fileEdit},
                                  {"cel", layout.celLabel}},
                                 menu, "Sprite menu");

            // The Code page: menu, code view and (when shown) the keys.
            std::vector<Placed> codePage = {{"menu", menu}, {"code view", layout.codeView}};
            if (layout.keyboardShown)
                codePage.push_back({"keys", layout.keyPanel});
            expectApartAndInside(codePage, page, "Code page");
            EXPECT_EQ(layout.keyboardShown, !hidden);
            if (layout.keyboardShown) {
                std::vector<Placed> keys;
                for (int index = 0; index < KeyCount; ++index) {
                    if (layout.keys[index].visible)
                        keys.push_back({"key", layout.keys[index].geometry});
                }
                ASSERT_EQ(keys.size(), 78u);
                expectApartAndInside(keys, QRect(QPoint(0, 0), layout.keyPanel.size()), "keys");
            }
            EXPECT_EQ(layout.codeChooser, QRect(0, MenuBarHeight, layout.pageWidth, layout.pageHeight - MenuBarHeight));

            // The Sprite page: canvas and tools side by side, and in the tools
            // the colour bar, the fifteen buttons and the preview.
            expectApartAndInside({{"menu", menu}, {"canvas", layout.canvas}, {"tools", layout.toolBar}}, page,
                                 "Sprite page");
            std::vector<Placed> tools = {{"colour bar", layout.colorBar}, {"preview", layout.preview}};
            for (const QRect &button : layout.toolButtons)
                tools.push_back({"tool button", button});
            expectApartAndInside(tools, QRect(QPoint(0, 0), layout.toolBar.size()), "tool bar");

            // The System page fits without scrolling; the pick list stays in the client area.
            std::vector<Placed> system;
            for (int index = 0; index < SystemControlCount; ++index) {
                if (index != systemIndex(SystemControl::UseWebBrowser))
                    system.push_back({"system control", layout.systemControls[index]});
            }
            expectApartAndInside(system, page, "System page");
            EXPECT_TRUE(QRect(QPoint(0, 0), layout.systemExtent).intersected(page) == QRect(QPoint(0, 0), layout.systemExtent));
            EXPECT_TRUE(QRect(0, 0, input.clientWidth, input.clientHeight).contains(layout.pickList));
        }
    }
}

TEST(LandscapeLayout, TouchSizesAndLineCounts)
{
    for (const Screen &screen : landscapeScreens) {
        SCOPED_TRACE(screen.name);
        const LayoutResult shown = computeLayout(windowOn(screen));
        const LayoutResult hidden = computeLayout(windowOn(screen, true));
        for (const KeyPlacement &key : shown.keys) {
            if (!key.visible)
                continue;
            EXPECT_GE(key.geometry.width(), LandscapeKeyWidth);
            EXPECT_GE(key.geometry.height(), LandscapeKeyHeight);
        }
        for (const QRect &button : shown.toolButtons) {
            EXPECT_GE(button.width(), LandscapeToolWidth);
            EXPECT_GE(button.height(), LandscapeToolHeight);
        }
        for (const QRect &menuButton : {shown.newButton, shown.openButton, shown.saveButton,
                                        shown.keyboardToggle, shown.runButton})
            EXPECT_GE(menuButton.width(), 48);
        EXPECT_GE(shown.visibleColumns, 32) << "at least the \"width\" setting's columns";
        EXPECT_GT(hidden.visibleLines, shown.visibleLines);
        EXPECT_EQ(hidden.codeView.bottom(), hidden.pageHeight - 1) << "the code view takes the keys' place";
        // The lines fill the view: at most one cell is left over.
        EXPECT_LT(shown.codeView.height() - shown.visibleLines * shown.cellSize, shown.cellSize);
    }
    struct Lines {
        const char *name;
        Screen screen;
        int columnsAtLeast, linesWithKeys, linesWithoutKeys;
    };
    const std::vector<Lines> counts = {
        {"1280 x 800", {"", 1280, 800, 1}, 64, 28, 40},
        {"1920 x 1080", {"", 1920, 1080, 1}, 64, 40, 60},
        {"800 x 480", {"", 800, 480, 1}, 40, 8, 20},
    };
    for (const Lines &c : counts) {
        SCOPED_TRACE(c.name);
        const LayoutResult shown = computeLayout(windowOn(c.screen));
        EXPECT_GE(shown.visibleColumns, c.columnsAtLeast);
        EXPECT_GE(shown.visibleLines, c.linesWithKeys);
        EXPECT_GE(computeLayout(windowOn(c.screen, true)).visibleLines, c.linesWithoutKeys);
    }
}

TEST(LandscapeLayout, GlyphsCanvasAndPreviewInWholeDevicePixels)
{
    for (const Screen &screen : landscapeScreens) {
        SCOPED_TRACE(screen.name);
        for (int sprite : {16, 32, 8, 1}) {
            SCOPED_TRACE(sprite);
            LayoutInput input = windowOn(screen);
            input.spriteSize = sprite;
            const LayoutResult layout = computeLayout(input);
            // The font's 8 pixels to a whole number of device pixels each.
            const double glyphDevice = layout.cellSize * screen.ratio;
            EXPECT_EQ(std::fmod(glyphDevice, 8.0), 0.0) << layout.cellSize << " at " << screen.ratio;
            EXPECT_LE(layout.cellSize, LandscapeLargestCell);

            // The canvas at the page's full height, to within one step of its zoom.
            EXPECT_TRUE(wholeDevicePixels(layout.canvasZoom, screen.ratio));
            EXPECT_EQ(layout.canvas.size(), QSize(layout.canvasZoom * sprite, layout.canvasZoom * sprite));
            EXPECT_EQ(layout.canvas.top(), MenuBarHeight);
            EXPECT_GT(layout.canvas.height() + scaleStep(screen.ratio) * sprite, layout.pageHeight - MenuBarHeight);
            EXPECT_EQ(layout.toolBar.left(), layout.canvas.right() + 1 + 8) << "the tools beside the canvas";

            // The preview: a whole scale of the sprite, at least 64 pixels.
            const int scale = layout.preview.width() / sprite;
            EXPECT_EQ(layout.preview.width(), scale * sprite);
            EXPECT_EQ(layout.preview.height(), layout.preview.width());
            EXPECT_TRUE(wholeDevicePixels(scale, screen.ratio));
            EXPECT_GE(layout.preview.width(), SmallestPreview);
        }
    }
}

TEST(LandscapeLayout, HelpAndSystemPagesUseTheWidthSensibly)
{
    for (const Screen &screen : landscapeScreens) {
        SCOPED_TRACE(screen.name);
        const LayoutResult layout = computeLayout(windowOn(screen));
        const int column = layout.pageWidth - 2 * layout.helpMargin;
        EXPECT_LE(column, HelpColumnWidth);
        EXPECT_GE(column, std::min(layout.pageWidth, HelpColumnWidth - 1));
        EXPECT_LE(layout.systemControls[systemIndex(SystemControl::ExportDir)].width(), 368)
            << "the export folder's field is not stretched across the page";
        EXPECT_EQ(layout.exportDirWidth, layout.systemControls[systemIndex(SystemControl::ExportDir)].width());
        EXPECT_LE(layout.systemExtent.height(), layout.pageHeight) << "the System page fits without scrolling";
    }
}

TEST(LandscapeLayout, TheWidthSettingIsTheFewestColumns)
{
    struct Case {
        const char *name;
        int codeWidth, columns;
        double ratio;
        int cell;
    };
    const std::vector<Case> cases = {
        {"the font twice over at most", 1280, 32, 1, 16},
        {"more columns asked than 16-pixel cells show", 1280, 100, 1, 8},
        {"exactly 16-pixel cells", 1280, 80, 1, 16},
        {"one more column: 8-pixel cells", 1280, 81, 1, 8},
        {"ratio 1.5: 24 device pixels", 853, 32, 1.5, 16},
        {"ratio 1.5, 60 columns: no 8 x n device pixels below 16, uneven rather than fewer columns", 853, 60, 1.5, 14},
        {"ratio 1.5, 106 columns: 8 pixels would be 12 device pixels", 853, 106, 1.5, 8},
        {"ratio 2", 640, 32, 2, 16},
        {"ratio 2, 80 columns: 8 pixels, 16 device pixels", 640, 80, 2, 8},
        {"ratio 2, 100 columns: 4 pixels, 8 device pixels", 640, 100, 2, 4},
        {"ratio 1.25: no whole multiple of 8 within reach", 1000, 32, 1.25, 16},
        {"more columns than pixels", 100, 1000, 1, 1},
        {"no width", 0, 32, 1, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(landscapeCellSize(c.codeWidth, c.columns, c.ratio), c.cell) << c.name;
}

TEST(LandscapeLayout, WholeDeviceScales)
{
    struct Case {
        const char *name;
        int room, units, largest;
        double ratio;
        int scale;
    };
    const std::vector<Case> cases = {
        {"ratio 1: the room decides", 708, 16, 708, 1, 44},
        {"ratio 1.5: an even scale", 441, 16, 441, 1.5, 26},
        {"ratio 2: any scale", 308, 16, 308, 2, 19},
        {"the largest scale asked", 708, 16, 8, 1, 8},
        {"too little room", 10, 16, 100, 1, 0},
        {"ratio 1.5 and room for 1 only: uneven rather than none", 20, 16, 100, 1.5, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(wholeDeviceScale(c.room, c.units, c.largest, c.ratio), c.scale) << c.name;
}

TEST(LandscapeLayout, TheSettingsBendWithinTheirBounds)
{
    const Screen tablet{"1280 x 800", 1280, 800, 1};
    struct Case {
        const char *name;
        int keyHeight, command, sprite;
        int expectedKeyHeight, expectedToolHeight;
    };
    const std::vector<Case> cases = {
        // Keys at most a third of the page below the menu bar: 708 / 24.
        {"the defaults", 30, 26, 16, 31, 40},
        {"a key height made for a wide portrait window", 90, 26, 16, 31, 40},
        {"small keys grow to the touch size", 10, 10, 16, 31, 40},
        {"tall tool buttons", 30, 200, 16, 31, 200},
        // 708 less the colour bar and gap (43), the gap and the preview (72): two rows of 296.
        {"tool buttons taller than the page allows: room kept for the preview", 30, 1000, 16, 31, 294},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LayoutInput input = windowOn(tablet);
        input.keyHeight = c.keyHeight;
        input.toolButtonHeight = c.command;
        input.spriteSize = c.sprite;
        const LayoutResult layout = computeLayout(input);
        EXPECT_EQ(layout.keyHeight, c.expectedKeyHeight);
        EXPECT_EQ(layout.toolButtonHeight, c.expectedToolHeight);
        EXPECT_GE(layout.preview.width(), SmallestPreview);
        EXPECT_LE(layout.preview.bottom(), layout.toolBar.height() - 1) << "the preview stays on the page";
    }
}

TEST(LandscapeLayout, NarrowSpritePagesStackTheToolsInRowsOfFour)
{
    const LayoutResult wide = computeLayout(windowOn({"1280 x 800", 1280, 800, 1}));
    const LayoutResult narrow = computeLayout(windowOn({"1280 x 800 at 2", 1280, 800, 2}));
    const auto rowsOf = [](const LayoutResult &layout) {
        std::vector<int> tops;
        for (const QRect &button : layout.toolButtons) {
            if (std::find(tops.begin(), tops.end(), button.top()) == tops.end())
                tops.push_back(button.top());
        }
        return tops.size();
    };
    EXPECT_EQ(rowsOf(wide), 2u);
    EXPECT_EQ(rowsOf(narrow), 4u);
    // Either way Add starts the first row and Rotate the first of the lower group.
    for (const LayoutResult *layout : {&wide, &narrow}) {
        EXPECT_EQ(layout->toolButtons[toolIndex(SpriteTool::Add)].left(), 1);
        EXPECT_EQ(layout->toolButtons[toolIndex(SpriteTool::Rotate)].left(), 1);
        EXPECT_GT(layout->toolButtons[toolIndex(SpriteTool::Rotate)].top(),
                  layout->toolButtons[toolIndex(SpriteTool::Pen)].top());
    }
    EXPECT_EQ(narrow.canvas.height(), narrow.pageHeight - MenuBarHeight - (narrow.pageHeight - MenuBarHeight) % 16)
        << "four columns leave the canvas the page's full height";
}

TEST(LandscapeLayout, DegenerateInputsStayUsable)
{
    struct Case {
        const char *name;
        int clientWidth, clientHeight, sprite, command, keyHeight, columns;
        double ratio;
    };
    const std::vector<Case> cases = {
        {"barely wider than tall", 361, 360, 16, 26, 30, 32, 1},
        {"lower than the tab strip", 800, 30, 16, 26, 30, 32, 1},
        {"lower than the keys", 900, 200, 16, 26, 30, 32, 1},
        {"sprite larger than the canvas", 500, 300, 127, 26, 30, 32, 1},
        {"huge settings", 1280, 800, 127, 200, 200, 1024, 1},
        {"largest numbers", INT_MAX, INT_MAX - 1, INT_MAX, INT_MAX, INT_MAX, INT_MAX, 1},
        {"smallest numbers", 1, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, 1},
        {"a ratio of nothing", 1280, 800, 16, 26, 30, 32, 0},
        {"a ratio that is not a number", 1280, 800, 16, 26, 30, 32, std::nan("")},
        {"an odd ratio", 1280, 800, 16, 26, 30, 32, 1.3333},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LayoutInput input = windowOn({"", 0, 0, 1});
        input.clientWidth = c.clientWidth;
        input.clientHeight = c.clientHeight;
        input.spriteSize = c.sprite;
        input.toolButtonHeight = c.command;
        input.keyHeight = c.keyHeight;
        input.visibleColumns = c.columns;
        input.devicePixelRatio = c.ratio;
        const LayoutResult layout = computeLayout(input);
        EXPECT_GE(layout.cellSize, 1);
        EXPECT_GE(layout.visibleLines, 1);
        EXPECT_GE(layout.visibleColumns, 1);
        EXPECT_GE(layout.swatchSize, 1);
        EXPECT_GE(layout.canvasZoom, 1);
        for (const QRect &rect : {layout.canvas, layout.toolBar, layout.colorBar, layout.preview, layout.fileEdit,
                                  layout.keyPanel, layout.codeView, layout.pickList, layout.codeChooser})
            EXPECT_TRUE(rect.width() >= 0 && rect.height() >= 0) << rect.width() << " x " << rect.height();
        for (const QRect &rect : layout.toolButtons)
            EXPECT_TRUE(rect.width() >= 0 && rect.height() >= 0);
        for (const KeyPlacement &key : layout.keys)
            EXPECT_TRUE(key.geometry.width() >= 0 && key.geometry.height() >= 0);
    }
}

TEST(LandscapeLayout, AWindowTooLowForTheKeysKeepsOneCodeLine)
{
    LayoutInput input = windowOn({"", 0, 0, 1});
    input.clientWidth = 900;
    input.clientHeight = 49 + 43 + 200;
    const LayoutResult layout = computeLayout(input);
    EXPECT_GE(layout.codeView.height(), layout.cellSize);
    EXPECT_GE(layout.keyPanel.top(), MenuBarHeight);
}

} // namespace
} // namespace quill
