#include "app/layoutscreen.h"
#include "base/settingsstore.h"
#include "base/settingstable.h"
#include "tests/support/defaultcaptions.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <climits>

#include <vector>

namespace quill {
namespace {

using testsupport::defaultCaptions;

LayoutInput designInput()
{
    LayoutInput input;
    input.clientWidth = 384;
    input.clientHeight = 567;
    input.spriteSize = 16;
    input.toolButtonHeight = 26;
    input.keyHeight = 30;
    input.visibleColumns = 32;
    input.keyCaptions = defaultCaptions();
    return input;
}

enum Tool { Add, Del, Back, Next, Copy, Paste, Paint, Rotate, FlipV, FlipH, ShiftU, ShiftR, ShiftD, ShiftL, Data };

TEST(LayoutScreen, DesignPageMeasures)
{
    const LayoutResult layout = computeLayout(designInput());
    struct Measure {
        const char *name;
        int actual;
        int expected;
    };
    const std::vector<Measure> measures = {
        {"PageWidth", layout.pageWidth, 384},
        {"PageHeight", layout.pageHeight, 518},
        {"ToolSlotWidth", layout.toolSlotWidth, 48},
        {"ToolButtonHeight", layout.toolButtonHeight, 26},
        {"SwatchSize", layout.swatchSize, 24},
        {"CanvasZoom", layout.canvasZoom, 24},
        {"MenuSlotWidth", layout.menuSlotWidth, 54},
        {"KeyWidth", layout.keyWidth, 38},
        {"KeyHeight", layout.keyHeight, 30},
        {"VisibleColumns", layout.visibleColumns, 32},
        {"CellSize", layout.cellSize, 12},
        {"VisibleLines", layout.visibleLines, 19},
        {"edtOpenmsxdir width", layout.exportDirWidth, 368},
        {"lstSelect width", layout.pickListBoxWidth, 277},
    };
    for (const Measure &m : measures)
        EXPECT_EQ(m.actual, m.expected) << m.name;
}

TEST(LayoutScreen, DesignPageSpritePage)
{
    const LayoutResult layout = computeLayout(designInput());
    EXPECT_EQ(layout.canvas, QRect(0, 43, 384, 384));
    EXPECT_EQ(layout.toolBar, QRect(0, 427, 384, 91));
    EXPECT_EQ(layout.toolBar.top(), layout.canvas.bottom() + 1) << "tool bar right under the canvas";
    EXPECT_EQ(layout.colorBar, QRect(0, 0, 384, 24));
    EXPECT_EQ(layout.preview, QRect(0, 24, 32, 32)) << "twice the sprite, below the colour bar";

    struct Button {
        const char *name;
        Tool tool;
        QRect geometry;
    };
    const std::vector<Button> buttons = {
        {"btGraAdd", Add, {49, 37, 46, 26}},       {"btGraDel", Del, {97, 37, 46, 26}},
        {"btGraBack", Back, {145, 37, 46, 26}},    {"btGraNext", Next, {193, 37, 46, 26}},
        {"btGraCopy", Copy, {241, 37, 46, 26}},    {"btGraPaste", Paste, {289, 37, 46, 26}},
        {"btGraPaint", Paint, {337, 37, 46, 26}},  {"btGraRotate", Rotate, {1, 65, 46, 26}},
        {"btGraFlipV", FlipV, {49, 65, 46, 26}},   {"btGraFlipH", FlipH, {97, 65, 46, 26}},
        {"btGraShiftU", ShiftU, {145, 65, 46, 26}}, {"btGraShiftR", ShiftR, {193, 65, 46, 26}},
        {"btGraShiftD", ShiftD, {241, 65, 46, 26}}, {"btGraShiftL", ShiftL, {289, 65, 46, 26}},
        {"btGraData", Data, {337, 65, 46, 26}},
    };
    for (const Button &b : buttons)
        EXPECT_EQ(layout.toolButtons[b.tool], b.geometry) << b.name;
    EXPECT_EQ(layout.toolButtons[Data].bottom() + 1, layout.toolBar.height()) << "lower row sits on the bottom";
}

TEST(LayoutScreen, DesignPageMenuAndPickList)
{
    const LayoutResult layout = computeLayout(designInput());
    EXPECT_EQ(layout.newButton, QRect(0, 0, 54, 43));
    EXPECT_EQ(layout.openButton, QRect(54, 0, 54, 43));
    EXPECT_EQ(layout.saveButton, QRect(108, 0, 54, 43));
    EXPECT_EQ(layout.fileEdit, QRect(162, 4, 168, 32));
    EXPECT_EQ(layout.runButton, QRect(330, 0, 54, 43));
    EXPECT_EQ(layout.celLabel, QRect(331, 9, 43, 24));
    EXPECT_EQ(layout.pickList, QRect(32, 16, 320, 518));
}

TEST(LayoutScreen, DesignPageKeyboardAndCodeView)
{
    const LayoutResult layout = computeLayout(designInput());
    EXPECT_EQ(layout.keyPanel, QRect(0, 278, 384, 240));
    EXPECT_EQ(layout.codeView, QRect(0, 43, 384, 235));
    EXPECT_EQ(layout.codeView.bottom() + 1, layout.keyPanel.top()) << "code view ends at the key panel";

    struct Key {
        const char *name;
        int index;
        QRect geometry;
        bool visible;
    };
    const std::vector<Key> keys = {
        {"first key", 0, {0, 0, 36, 27}, true},
        {"ordinary key", 23, {114, 60, 36, 27}, true},
        {"last column", 9, {342, 0, 36, 27}, true},
        {"Enter, two rows tall", 59, {342, 150, 36, 57}, true},
        {"under Enter", 69, {342, 180, 36, 27}, false},
        {"space, two cells wide", 74, {152, 210, 74, 27}, true},
        {"under the space key", 75, {190, 210, 36, 27}, false},
        {"last key", 79, {342, 210, 36, 27}, true},
    };
    for (const Key &k : keys) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(layout.keys[k.index].geometry, k.geometry);
        EXPECT_EQ(layout.keys[k.index].visible, k.visible);
    }
    int visible = 0;
    for (const KeyPlacement &key : layout.keys)
        visible += key.visible ? 1 : 0;
    EXPECT_EQ(visible, 78);
}

TEST(LayoutScreen, WidthNotAMultipleOfSevenEightOrSixteen)
{
    LayoutInput input = designInput();
    input.clientWidth = 390;
    const LayoutResult layout = computeLayout(input);
    EXPECT_EQ(layout.menuSlotWidth, 55);
    EXPECT_EQ(layout.fileEdit.left(), 165);
    EXPECT_EQ(layout.fileEdit.width(), 170);
    EXPECT_EQ(layout.runButton.left(), 335);
    EXPECT_EQ(layout.runButton.right() + 1, 390) << "Run ends at the right edge";
    // Tool rows and colour bar leave the remainder empty at the right.
    EXPECT_EQ(layout.toolSlotWidth, 48);
    EXPECT_EQ(layout.toolButtons[Data].right() + 1, 383);
    EXPECT_EQ(layout.swatchSize, 24);
    EXPECT_EQ(16 * layout.swatchSize, 384);
    EXPECT_EQ(layout.keyWidth, 39);
    EXPECT_EQ(layout.cellSize, 12);
}

TEST(LayoutScreen, SettingsChangeTheGrid)
{
    struct Case {
        const char *name;
        int spriteSize;
        int keyHeight;
        int columns;
        int canvasZoom;
        int previewSide;
        QRect codeView;
        int cellSize;
        int visibleLines;
    };
    const std::vector<Case> cases = {
        {"design", 16, 30, 32, 24, 32, {0, 43, 384, 235}, 12, 19},
        {"sprite 20: twice its size just fits", 20, 30, 32, 19, 40, {0, 43, 384, 235}, 12, 19},
        {"sprite 21: its own size", 21, 30, 32, 18, 21, {0, 43, 384, 235}, 12, 19},
        {"sprite 32", 32, 30, 32, 12, 32, {0, 43, 384, 235}, 12, 19},
        {"sprite 127: scaled into the slot", 127, 30, 32, 3, 41, {0, 43, 384, 235}, 12, 19},
        {"40 columns", 16, 30, 40, 24, 32, {0, 43, 384, 235}, 9, 26},
        {"keys 20 high", 16, 20, 32, 24, 32, {0, 43, 384, 315}, 12, 26},
        {"7 columns", 16, 30, 7, 24, 32, {0, 43, 384, 235}, 54, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LayoutInput input = designInput();
        input.spriteSize = c.spriteSize;
        input.keyHeight = c.keyHeight;
        input.visibleColumns = c.columns;
        const LayoutResult layout = computeLayout(input);
        EXPECT_EQ(layout.canvasZoom, c.canvasZoom);
        EXPECT_EQ(layout.preview.size(), QSize(c.previewSide, c.previewSide));
        EXPECT_EQ(layout.codeView, c.codeView);
        EXPECT_EQ(layout.cellSize, c.cellSize);
        EXPECT_EQ(layout.visibleLines, c.visibleLines);
    }
}

TEST(LayoutScreen, CaptionsDecideKeyShape)
{
    struct Case {
        const char *name;
        QString caption;
        QSize size;
        bool visible;
    };
    const std::vector<Case> cases = {
        {"single space is wide", " ", {74, 27}, true},
        {"Rt is tall", "Rt", {36, 57}, true},
        {"empty is hidden", "", {36, 27}, false},
        {"two spaces are an ordinary key", "  ", {36, 27}, true},
        {"rt in lower case is an ordinary key", "rt", {36, 27}, true},
        {"the ampersand key", "&&", {36, 27}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LayoutInput input = designInput();
        input.keyCaptions[12] = c.caption;
        const KeyPlacement key = computeLayout(input).keys[12];
        EXPECT_EQ(key.geometry, QRect(QPoint(2 * 38, 1 * 30), c.size));
        EXPECT_EQ(key.visible, c.visible);
    }
}

bool noNegativeSize(const QRect &rect)
{
    return rect.width() >= 0 && rect.height() >= 0;
}

TEST(LayoutScreen, DegenerateInputsStayUsable)
{
    struct Case {
        const char *name;
        int clientWidth;
        int clientHeight;
        int spriteWidth;
        int toolButtonHeight;
        int keyHeight;
        int columns;
    };
    const std::vector<Case> cases = {
        {"no window at all", 0, 0, 16, 26, 30, 32},
        {"negative window", -50, -80, 16, 26, 30, 32},
        {"narrower than the tab strip is high", 384, 30, 16, 26, 30, 32},
        {"page shorter than wide", 800, 400, 16, 26, 30, 32},
        {"sprite width zero", 384, 567, 0, 26, 30, 32},
        {"sprite wider than the page", 100, 567, 127, 26, 30, 32},
        {"no columns", 384, 567, 16, 26, 30, 0},
        {"negative columns", 384, 567, 16, 26, 30, -4},
        {"more columns than pixels", 384, 567, 16, 26, 30, 1000},
        {"key height zero", 384, 567, 16, 26, 0, 32},
        {"key height negative", 384, 567, 16, 26, -30, 32},
        {"key panel taller than the page", 384, 567, 16, 26, 200, 32},
        {"tool buttons negative", 384, 567, 16, -26, 30, 32},
        {"narrow page", 10, 567, 16, 26, 30, 32},
        {"huge key height", 384, 567, 16, 26, 300000000, 32},
        {"huge tool buttons", 384, 567, 16, 2000000000, 30, 32},
        {"largest numbers everywhere", INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {"smallest numbers everywhere", INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LayoutInput input = designInput();
        input.clientWidth = c.clientWidth;
        input.clientHeight = c.clientHeight;
        input.spriteSize = c.spriteWidth;
        input.toolButtonHeight = c.toolButtonHeight;
        input.keyHeight = c.keyHeight;
        input.visibleColumns = c.columns;
        const LayoutResult layout = computeLayout(input);

        EXPECT_GE(layout.cellSize, 1);
        EXPECT_GE(layout.visibleLines, 1);
        EXPECT_GE(layout.visibleColumns, 1);
        EXPECT_GE(layout.swatchSize, 1);
        EXPECT_GE(layout.canvasZoom, 1);
        EXPECT_GE(layout.pageWidth, 0);
        EXPECT_GE(layout.pageHeight, 0);
        EXPECT_GE(layout.exportDirWidth, 0);
        EXPECT_GE(layout.pickListBoxWidth, 0);
        for (const QRect &rect : {layout.canvas, layout.toolBar, layout.colorBar, layout.preview,
                                  layout.newButton, layout.fileEdit, layout.runButton,
                                  layout.pickList, layout.keyPanel, layout.codeView})
            EXPECT_TRUE(noNegativeSize(rect)) << rect.width() << " x " << rect.height();
        for (const QRect &rect : layout.toolButtons)
            EXPECT_TRUE(noNegativeSize(rect)) << rect.width() << " x " << rect.height();
        for (const KeyPlacement &key : layout.keys)
            EXPECT_TRUE(noNegativeSize(key.geometry)) << key.geometry.width() << " x " << key.geometry.height();
    }
}

TEST(LayoutScreen, KeyPanelTallerThanThePageLeavesOneLine)
{
    LayoutInput input = designInput();
    input.keyHeight = 200;
    const LayoutResult layout = computeLayout(input);
    EXPECT_EQ(layout.keyPanel.height(), 1600);
    EXPECT_EQ(layout.codeView.height(), 0);
    EXPECT_EQ(layout.cellSize, 12);
    EXPECT_EQ(layout.visibleLines, 1);
}

TEST(LayoutScreen, ShortPageShrinksTheCanvasForTheToolBar)
{
    LayoutInput input = designInput();
    input.clientWidth = 800;
    input.clientHeight = 400;
    const LayoutResult layout = computeLayout(input);
    // Colour bar 50 high and two rows of 26 with the 2-pixel gap: 104.
    EXPECT_EQ(layout.toolBar, QRect(0, 247, 800, 104));
    EXPECT_EQ(layout.canvas, QRect(0, 43, 204, 204));
    EXPECT_EQ(layout.canvasZoom, 12);
}

TEST(LayoutScreen, PageTooShortForTheToolBarGivesNoCanvas)
{
    LayoutInput input = designInput();
    input.clientWidth = 800;
    input.clientHeight = 150;
    const LayoutResult layout = computeLayout(input);
    EXPECT_EQ(layout.canvas.height(), 0);
    EXPECT_EQ(layout.canvasZoom, 1);
    EXPECT_EQ(layout.toolBar.top() + layout.toolBar.height(), layout.pageHeight);
}

TEST(LayoutScreen, TheMinimumClientSizeHoldsMenuOneCodeLineAndKeys)
{
    struct Case {
        const char *name;
        int visibleColumns, keyHeight;
    };
    const std::vector<Case> cases = {
        {"design settings", 32, 30},
        {"tall keys", 32, 200},
        {"many columns", 1024, 30},
        {"one column", 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LayoutInput input = designInput();
        input.visibleColumns = c.visibleColumns;
        input.keyHeight = c.keyHeight;
        input.clientWidth = 0;
        const QSize minimum = minimumClientSize(input);
        input.clientWidth = minimum.width();
        input.clientHeight = minimum.height();
        const LayoutResult layout = computeLayout(input);
        EXPECT_GE(layout.keyPanel.top(), MenuBarHeight) << "the keys leave the menu bar free";
        EXPECT_GE(layout.codeView.height(), layout.cellSize) << "one code line fits";
        EXPECT_GE(layout.keyWidth, MinimumKeyWidth);
        // One pixel less in height and the code line no longer fits.
        input.clientHeight -= 1;
        EXPECT_LT(computeLayout(input).codeView.height(), layout.cellSize);
    }
}

// Before any setting is read, the layout starts from the design's page and
// what an installation leaves on it.
TEST(LayoutScreen, StartsFromTheDesignsPageAndAnInstallationsSettings)
{
    SettingsStore installed;
    applyDefaultSettings(installed, QString(), DesignClientWidth);
    rescaleInstalledHeights(installed);
    const LayoutInput input;
    const LayoutInput design = designInput();
    EXPECT_EQ(input.clientWidth, design.clientWidth);
    EXPECT_EQ(input.clientHeight, design.clientHeight);
    EXPECT_EQ(input.spriteSize, design.spriteSize);
    EXPECT_EQ(QString::number(input.toolButtonHeight), installed.value("command"));
    EXPECT_EQ(QString::number(input.keyHeight), installed.value("keyheight"));
    EXPECT_EQ(QString::number(input.visibleColumns), installed.value("width"));
    EXPECT_EQ(QString::number(input.spriteSize), installed.value("sprite"));
    EXPECT_EQ(input.toolButtonHeight, design.toolButtonHeight);
    EXPECT_EQ(input.keyHeight, design.keyHeight);
    EXPECT_EQ(input.visibleColumns, design.visibleColumns);
}

} // namespace
} // namespace quill
