#include "app/layoutscreen.h"

#include "app/landscapelayout.h"
#include "app/layoutparts.h"

#include <algorithm>

namespace quill {

using namespace layoutparts;

namespace {

constexpr int ToolSlotCount = 8;
constexpr int ExportDirMargin = 16;

// The upper row holds Add to Pen in slots 1 to 7 (slot 0 is the preview's);
// the lower row Rotate to Palette in slots 0 to 7.
struct ToolSlot {
    bool upperRow;
    int slot;
};

constexpr ToolSlot toolSlot(int tool)
{
    constexpr int firstLower = toolIndex(SpriteTool::Rotate);
    return tool < firstLower ? ToolSlot{true, tool + 1} : ToolSlot{false, tool - firstLower};
}

// The design's arithmetic, for a phone held upright.
LayoutResult designLayout(const LayoutInput &input)
{
    LayoutResult out;

    out.pageWidth = size(input.clientWidth);
    out.pageHeight = size(input.clientHeight - TabStripHeight);
    const int pageWidth = out.pageWidth;
    const int pageHeight = out.pageHeight;
    out.toolSlotWidth = pageWidth / ToolSlotCount;
    out.toolButtonHeight = size(input.toolButtonHeight);
    // Both are divisors of the canvas and colour bar hit tests.
    out.swatchSize = divisor(pageWidth / SwatchCount);

    // Sprite page: the square canvas under the menu bar, the tool bar below it.
    // The canvas is as wide as the page while that leaves the tool bar room
    // for the colour bar and both button rows; on a page wider than that
    // (a desktop window) the canvas shrinks until the tool bar fits, and the
    // zoom follows the canvas's side.
    const int toolBarNeeded = out.swatchSize + 2 * out.toolButtonHeight + 2;
    const int canvasSide = pageHeight - pageWidth - MenuBarHeight >= toolBarNeeded
                               ? pageWidth
                               : size(std::min(pageWidth, pageHeight - MenuBarHeight - toolBarNeeded));
    out.canvasZoom = divisor(canvasSide / divisor(input.spriteSize));
    out.canvas = QRect(0, MenuBarHeight, canvasSide, canvasSide);
    const int toolBarHeight = size(pageHeight - canvasSide - MenuBarHeight);
    out.toolBar = QRect(0, pageHeight - toolBarHeight, pageWidth, toolBarHeight);
    out.colorBar = QRect(0, 0, pageWidth, out.swatchSize);

    const int upperRowTop = toolBarHeight - 2 * out.toolButtonHeight - 2;
    const int lowerRowTop = toolBarHeight - out.toolButtonHeight;
    // The preview shows the sprite at twice its size in the free slot left of
    // the upper row. Where that slot is smaller it shows it at its own size,
    // and a sprite larger than the slot is scaled down to fill it: the
    // preview never covers a button.
    const int sprite = size(input.spriteSize);
    const int previewRoom = size(std::min(out.toolSlotWidth, lowerRowTop - out.swatchSize));
    const int previewSide = previewRoom >= 2 * sprite ? 2 * sprite
                            : previewRoom >= sprite   ? sprite
                                                      : previewRoom;
    out.preview = QRect(0, out.swatchSize, previewSide, previewSide);
    for (int i = 0; i < ToolButtonCount; ++i) {
        const ToolSlot slot = toolSlot(i);
        out.toolButtons[i] = QRect(slot.slot * out.toolSlotWidth + 1,
                                   slot.upperRow ? upperRowTop : lowerRowTop,
                                   size(out.toolSlotWidth - 2), out.toolButtonHeight);
    }

    // Menu bars: three buttons, the file name edit taking what the last slot leaves.
    const int slotWidth = pageWidth / MenuSlotCount;
    out.menuSlotWidth = slotWidth;
    out.newButton = QRect(0, 0, slotWidth, MenuBarHeight);
    out.openButton = QRect(slotWidth, 0, slotWidth, MenuBarHeight);
    out.saveButton = QRect(2 * slotWidth, 0, slotWidth, MenuBarHeight);
    out.fileEdit = QRect(3 * slotWidth, FileEditTop, size(pageWidth - 4 * slotWidth), FileEditHeight);
    out.runButton = QRect(pageWidth - slotWidth, 0, slotWidth, MenuBarHeight);
    out.celLabel = QRect(pageWidth - slotWidth + 1, CelLabelTop, CelLabelWidth, CelLabelHeight);

    out.pickList = QRect(PickListLeft, PickListTop, size(pageWidth - 2 * PickListLeft), pageHeight);
    out.pickListBoxWidth = size(out.pickList.width() - PickListCloseColumn);

    // On-screen keyboard: the key panel spans the client width at the foot of the Code page.
    const int panelWidth = keyPanelWidth(input.clientWidth);
    out.keyWidth = panelWidth / KeyColumns;
    out.keyHeight = size(input.keyHeight);
    const int panelHeight = KeyRows * out.keyHeight;
    out.keyPanel = QRect(0, pageHeight - panelHeight, panelWidth, panelHeight);
    layoutparts::placeKeys(out, input.keyCaptions, out.keyWidth, out.keyHeight);

    out.exportDirWidth = size(pageWidth - ExportDirMargin);

    // The code view is what the Code page keeps between menu bar and key panel.
    out.codeView = QRect(0, MenuBarHeight, pageWidth,
                         size(pageHeight - MenuBarHeight - panelHeight));
    out.visibleColumns = divisor(input.visibleColumns);
    out.cellSize = divisor(out.codeView.width() / out.visibleColumns);
    out.visibleLines = divisor(out.codeView.height() / out.cellSize);

    out.codeChooser = out.codeView;
    out.spriteChooser = out.canvas;
    out.systemControls = layoutparts::designSystemControls(out.exportDirWidth);
    out.systemExtent = layoutparts::extentOf(out.systemControls);
    return out;
}

} // namespace

LayoutResult computeLayout(const LayoutInput &unbounded)
{
    const LayoutInput input = bounded(unbounded);
    if (input.landscapeLayout && input.clientWidth > input.clientHeight)
        return computeLandscapeLayout(input);
    return designLayout(input);
}

QSize minimumClientSize(const LayoutInput &unbounded)
{
    const LayoutInput input = bounded(unbounded);
    const int columns = divisor(input.visibleColumns);
    const int width = std::max(KeyColumns * MinimumKeyWidth, columns);
    // One code line is one cell high, and the cell grows with the width: the
    // height needed follows the width the client has (or will have).
    const int cellHeight = divisor(std::max(width, input.clientWidth) / columns);
    const int height = TabStripHeight + MenuBarHeight + cellHeight + KeyRows * size(input.keyHeight);
    return {width, height};
}

} // namespace quill
