#pragma once

#include "base/constants.h"
#include "base/controls/controls.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quill {
class ColorBar;
class SpriteCanvas;
class SpritePreview;

// The Sprite page's controls: the file menu with the cel label, the sprite
// file chooser, the canvas, and the tool bar with the colour bar, the
// preview and the fifteen tool buttons (indexed by SpriteTool).
struct SpritePageControls {
    QWidget *pnlGraMenu = nullptr;
    QPushButton *btGraNew = nullptr;
    QPushButton *btGraOpen = nullptr;
    QPushButton *btGraSave = nullptr;
    QLineEdit *edtGraFile = nullptr;
    QLabel *lblCel = nullptr;
    FileChooser files;  // pnlGraFiles, lstGrafiles, btGraOk, btGraCancel, btGraDelete
    SpriteCanvas *pntMain = nullptr;
    QWidget *pnlGraTools = nullptr;
    ColorBar *pntColor = nullptr;
    SpritePreview *pntView = nullptr;
    std::array<QPushButton *, ToolButtonCount> ToolButtons{};

    QPushButton *tool(SpriteTool which) const { return ToolButtons[toolIndex(which)]; }
};

} // namespace quill
