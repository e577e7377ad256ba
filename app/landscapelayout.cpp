#include "app/landscapelayout.h"

#include "app/layoutparts.h"

#include <cmath>

namespace quill {

using namespace layoutparts;

namespace {

constexpr int WideToolColumns = 8;
constexpr int NarrowToolColumns = 4;
constexpr int Gap = 8;
constexpr int KeySpacingY = 3;
constexpr int ButtonGap = 2;
// The largest swatch of the colour bar, and the preview's largest scale
// where SmallestPreview does not ask for more.
constexpr int LargestSwatch = 64;
constexpr int LargestPreviewScale = 16;
// The keys take at most a third of the page below the menu bar.
constexpr int KeyboardShare = 3;
// The System page's second column, right of the design's page.
constexpr int DesignPageWidth = DesignClientWidth;
constexpr int SecondColumnLeft = DesignPageWidth + 24;
constexpr int SecondColumnButtonWidth = 145;
constexpr int ButtonHeight = 44;
constexpr int SystemMargin = 16;

bool wholeDevicePixels(double logical, double ratio)
{
    const double device = logical * ratio;
    return std::abs(device - std::round(device)) < 1e-6;
}

void placeMenus(LayoutResult &out)
{
    const int pageWidth = out.pageWidth;
    const int slot = std::min(pageWidth / MenuSlotCount, LandscapeMenuSlot);
    out.menuSlotWidth = slot;
    out.newButton = QRect(0, 0, slot, MenuBarHeight);
    out.openButton = QRect(slot, 0, slot, MenuBarHeight);
    out.saveButton = QRect(2 * slot, 0, slot, MenuBarHeight);
    // The name field ends before the two slots at the right: the keyboard
    // toggle and Run on the Code page, the cel label on the Sprite page.
    out.fileEdit = QRect(3 * slot, FileEditTop, std::min(size(pageWidth - 5 * slot - Gap), LandscapeNameWidth),
                         FileEditHeight);
    out.keyboardToggle = QRect(pageWidth - 2 * slot, 0, slot, MenuBarHeight);
    out.runButton = QRect(pageWidth - slot, 0, slot, MenuBarHeight);
    out.celLabel = QRect(pageWidth - slot + 1, CelLabelTop, CelLabelWidth, CelLabelHeight);
}

void placeCodePage(LayoutResult &out, const LayoutInput &input)
{
    const int below = size(out.pageHeight - MenuBarHeight);
    out.keyWidth = out.pageWidth / KeyColumns;
    constexpr int smallestCell = LandscapeKeyHeight + KeySpacingY;
    out.keyHeight = std::clamp(input.keyHeight, smallestCell, std::max(smallestCell, below / (KeyboardShare * KeyRows)));
    // A window too low for the keys and one line keeps the line.
    out.keyHeight = std::min(out.keyHeight, divisor((below - LandscapeLargestCell) / KeyRows));
    out.keyboardShown = !input.keyboardHidden;
    const int panelHeight = out.keyboardShown ? KeyRows * out.keyHeight : 0;
    out.keyPanel = QRect(0, out.pageHeight - KeyRows * out.keyHeight, out.pageWidth, KeyRows * out.keyHeight);
    layoutparts::placeKeys(out, input.keyCaptions, out.keyWidth, out.keyHeight);

    out.codeView = QRect(0, MenuBarHeight, out.pageWidth, size(below - panelHeight));
    const int columns = divisor(input.visibleColumns);
    out.cellSize = landscapeCellSize(out.codeView.width(), columns, input.devicePixelRatio);
    out.visibleColumns = divisor(out.codeView.width() / out.cellSize);
    out.visibleLines = divisor(out.codeView.height() / out.cellSize);
    // The chooser fills the page below the menu: the keys hide while it shows.
    out.codeChooser = QRect(0, MenuBarHeight, out.pageWidth, below);
}

void placeSpritePage(LayoutResult &out, const LayoutInput &input)
{
    const double ratio = input.devicePixelRatio;
    const int sprite = divisor(input.spriteSize);
    const int below = size(out.pageHeight - MenuBarHeight);

    // The tools stand in the design's two groups (Add to Pen, Rotate to
    // Palette): one row each where eight buttons fit beside a canvas of the
    // page's full height, else in rows of four and the canvas gives way
    // where even four do not fit.
    const int slotNeed = LandscapeToolWidth + ButtonGap;
    const int columns = out.pageWidth - below - Gap >= WideToolColumns * slotNeed ? WideToolColumns : NarrowToolColumns;
    const int side = size(std::min(below, out.pageWidth - columns * slotNeed - Gap));

    // The canvas: a square, the grid filling it, one cell a whole number of
    // device pixels.
    const int zoom = wholeDeviceScale(side, sprite, side, ratio);
    out.canvasZoom = divisor(zoom);
    const int grid = zoom > 0 ? zoom * sprite : side;
    out.canvas = QRect(0, MenuBarHeight, grid, grid);
    out.spriteChooser = QRect(0, MenuBarHeight, out.pageWidth, below);

    // Beside it: the colour bar, the tools and the preview.
    const int toolsLeft = grid + Gap;
    out.toolBar = QRect(toolsLeft, MenuBarHeight, size(out.pageWidth - toolsLeft), below);
    const int toolsWidth = out.toolBar.width();
    out.toolSlotWidth = toolsWidth / columns;
    out.swatchSize = divisor(std::min(toolsWidth / SwatchCount, LargestSwatch));
    out.colorBar = QRect(0, 0, SwatchCount * out.swatchSize, out.swatchSize);

    const int firstLower = toolIndex(SpriteTool::Rotate);
    const int upperRows = (firstLower + columns - 1) / columns;
    const int rows = upperRows + (ToolButtonCount - firstLower + columns - 1) / columns;
    const int rowsTop = out.swatchSize + Gap;
    const int previewNeed = std::max(SmallestPreview, sprite);
    const int tallestButton = (below - rowsTop - Gap - previewNeed) / rows - ButtonGap;
    out.toolButtonHeight = std::clamp(input.toolButtonHeight, LandscapeToolHeight,
                                      std::max(LandscapeToolHeight, tallestButton));
    const int rowHeight = out.toolButtonHeight + ButtonGap;
    for (int tool = 0; tool < ToolButtonCount; ++tool) {
        const bool upper = tool < firstLower;
        const int place = upper ? tool : tool - firstLower;
        const int row = (upper ? 0 : upperRows) + place / columns;
        out.toolButtons[tool] = QRect((place % columns) * out.toolSlotWidth + ButtonGap / 2, rowsTop + row * rowHeight,
                                      size(out.toolSlotWidth - ButtonGap), out.toolButtonHeight);
    }

    const int previewTop = rowsTop + rows * rowHeight - ButtonGap + Gap;
    const int room = size(std::min(toolsWidth, below - previewTop));
    const int largestScale = std::max(LargestPreviewScale, (SmallestPreview + sprite - 1) / sprite);
    const int scale = wholeDeviceScale(room, sprite, largestScale, ratio);
    const int previewSide = scale > 0 ? scale * sprite : room;
    out.preview = QRect(0, previewTop, previewSide, previewSide);
}

void placeSystemPage(LayoutResult &out)
{
    out.exportDirWidth = DesignPageWidth - SystemMargin;
    out.systemControls = layoutparts::designSystemControls(out.exportDirWidth);
    const int secondColumnEnd = SecondColumnLeft + SecondColumnButtonWidth + SystemMargin;
    if (out.pageWidth >= secondColumnEnd) {
        const auto place = [&](SystemControl control, int top) {
            out.systemControls[systemIndex(control)] =
                QRect(SecondColumnLeft, top, SecondColumnButtonWidth, ButtonHeight);
        };
        place(SystemControl::Export, 5);
        place(SystemControl::Website, 61);
        place(SystemControl::Quit, 226);
    }
    out.systemExtent = layoutparts::extentOf(out.systemControls);
}

} // namespace

int wholeDeviceScale(int room, int units, int largest, double devicePixelRatio)
{
    const int bound = std::min(size(room) / divisor(units), largest);
    for (int scale = bound; scale >= 1; --scale) {
        if (wholeDevicePixels(scale, devicePixelRatio))
            return scale;
    }
    return size(bound);
}

int landscapeCellSize(int codeWidth, int columns, double devicePixelRatio)
{
    const int largest = divisor(std::min(LandscapeLargestCell, size(codeWidth) / divisor(columns)));
    for (int cell = largest; cell >= 1; --cell) {
        const double device = cell * devicePixelRatio;
        if (wholeDevicePixels(cell, devicePixelRatio) && std::lround(device) % 8 == 0)
            return cell;
    }
    return largest;
}

LayoutResult computeLandscapeLayout(const LayoutInput &input)
{
    LayoutResult out;
    out.landscape = true;
    out.listsFitNames = true;
    out.pageWidth = size(input.clientWidth);
    out.pageHeight = size(input.clientHeight - TabStripHeight);

    placeMenus(out);
    placeCodePage(out, input);
    placeSpritePage(out, input);
    out.pickList = QRect(PickListLeft, PickListTop, size(out.pageWidth - 2 * PickListLeft), out.pageHeight);
    out.pickListBoxWidth = size(out.pickList.width() - PickListCloseColumn);
    out.helpMargin = size(out.pageWidth - HelpColumnWidth) / 2;
    placeSystemPage(out);
    return out;
}

} // namespace quill
