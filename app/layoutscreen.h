#pragma once

#include "base/constants.h"
#include "base/settingstable.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <array>

namespace quill {

// The design's client area: the page the fixed places of every control were
// drawn for (384 wide, 518 high below the tab strip).
inline constexpr int DesignClientWidth = 384;
inline constexpr int DesignClientHeight = 567;

// The design's fixed heights.
inline constexpr int TabStripHeight = 49;
inline constexpr int MenuBarHeight = 43;

// The Sprite page's fifteen tool buttons, in the order the tool bar places
// them (two rows, left to right). Everything indexed by tool follows it.
enum class SpriteTool {
    Add, Delete, Previous, Next, Copy, Paste, Pen,
    Rotate, FlipVertical, FlipHorizontal, Shift, ShiftDirection, Erase, Undo, Palette,
};
inline constexpr int ToolButtonCount = static_cast<int>(SpriteTool::Palette) + 1;

inline constexpr int toolIndex(SpriteTool tool) { return static_cast<int>(tool); }

// The System page's controls, labels included, in focus order with each
// label before its field. Everything indexed by control follows it.
enum class SystemControl {
    WidthLabel, Width, KeyHeightLabel, KeyHeight, CommandLabel, Command,
    SpriteSizeLabel, SpriteSize, ExportDirLabel, ExportDir,
    Default, Apply, UseWebBrowser, Export, Website, Quit,
};
inline constexpr int SystemControlCount = static_cast<int>(SystemControl::Quit) + 1;

inline constexpr int systemIndex(SystemControl control) { return static_cast<int>(control); }

// What a layout pass reads: the window's client size, the sprite size and the
// three layout settings, already converted (each at least 1).
struct LayoutInput {
    int clientWidth = DesignClientWidth;
    int clientHeight = DesignClientHeight;
    int spriteSize = DefaultSpriteSize;
    int toolButtonHeight = installedNumber(setting::Command);
    int keyHeight = installedKeyHeight(DesignClientWidth);
    int visibleColumns = installedNumber(setting::Width);
    // Layer-1 captions of the 80 keys, row by row: they decide which keys are
    // wide (a single space), tall ("Rt") or hidden (empty).
    std::array<QString, KeyCount> keyCaptions;
    // With this set, a client area wider than it is tall gets the landscape
    // layout (app/landscapelayout.h); without it every window is laid out by
    // the design's arithmetic, whatever its shape. The window sets it.
    bool landscapeLayout = false;
    // The landscape layout only: the on-screen keyboard is hidden and the
    // code view takes its place.
    bool keyboardHidden = false;
    // Device pixels per logical pixel. The landscape layout picks the code
    // cell, the canvas zoom and the preview's scale so that each is a whole
    // number of device pixels.
    double devicePixelRatio = 1.0;
};

struct KeyPlacement {
    QRect geometry;   // in the key panel
    bool visible = false;
    bool operator==(const KeyPlacement &) const = default;
};

// Every measure and geometry of one layout pass. Rectangles are relative to
// their parent control, as the window applies them.
struct LayoutResult {
    int pageWidth = 0;
    int pageHeight = 0;
    int toolSlotWidth = 0;
    int toolButtonHeight = 0;
    int swatchSize = 0;    // at least 1
    int canvasZoom = 0;    // at least 1; the canvas side div the sprite size
    int menuSlotWidth = 0;
    int keyWidth = 0;
    int keyHeight = 0;
    int visibleColumns = 0;  // at least 1
    int cellSize = 0;      // at least 1
    int visibleLines = 0;  // at least 1

    QRect canvas;       // pntMain on the Sprite page: square, CanvasZoom x sprite size or more
    QRect toolBar;      // pnlGraTools on the Sprite page
    QRect colorBar;     // pntColor in the tool bar
    QRect preview;      // pntView in the tool bar: twice the sprite's size where
                        // the slot left of the upper row allows, else smaller
    // The fifteen tool buttons in the tool bar, indexed by SpriteTool.
    std::array<QRect, ToolButtonCount> toolButtons;

    // The menu bars (Code and Sprite pages share the slot arithmetic).
    QRect newButton, openButton, saveButton, fileEdit, runButton, celLabel;

    QRect pickList;      // pnlSelect in the window's client area
    int pickListBoxWidth = 0;  // lstSelect

    QRect keyPanel;      // pnlKeys on the Code page
    std::array<KeyPlacement, KeyCount> keys;
    QRect codeView;      // pntProg on the Code page
    int exportDirWidth = 0;  // edtOpenmsxdir

    // Which layout this is, and what only the landscape layout changes.
    bool landscape = false;
    bool keyboardShown = true;     // pnlKeys; always in portrait
    QRect keyboardToggle;          // btKeys in the Code menu; empty (hidden) in portrait
    QRect codeChooser;             // pnlBasfiles on the Code page
    QRect spriteChooser;           // pnlGraFiles on the Sprite page
    // The file lists and the pick list take the width of their longest name
    // (between the design's width and what their panel leaves); in portrait
    // they keep the design's widths.
    bool listsFitNames = false;
    int helpMargin = 0;            // left and right of Memo1's text column
    // The System page's controls, indexed by SystemControl, and the extent
    // they need (the page scrolls where it is smaller).
    std::array<QRect, SystemControlCount> systemControls;
    QSize systemExtent;

    bool operator==(const LayoutResult &) const = default;
};

// The layout pass as arithmetic: PageWidth is the client width, PageHeight
// the client height less the tab strip. Any input is accepted: sizes that
// would come out negative are 0 and the measures marked "at least 1" (the
// ones other code divides by) are clamped, so nothing here divides by zero.
LayoutResult computeLayout(const LayoutInput &input);

// The key panel spans the client width: the width the installation and the
// setting repair scale the key height with.
inline int keyPanelWidth(int clientWidth) { return clientWidth > 0 ? clientWidth : 0; }

// The smallest client area in which the tab strip, the Code page's menu bar,
// one code line and the key panel fit with these settings at the input's
// client width (a code line is taller in a wider window): each of the ten
// keys of a row at least MinimumKeyWidth pixels wide and each code column at
// least one. The captions and the client height are not read.
inline constexpr int MinimumKeyWidth = 16;
QSize minimumClientSize(const LayoutInput &settings);

} // namespace quill
