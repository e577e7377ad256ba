#pragma once

#include "base/controls/controls.h"
#include "base/workspace.h"
#include "app/layoutscreen.h"

#include <QPointF>
#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quill {

class ColorBar;
class Handlers;
class SettingsStore;
class SpriteCanvas;
class SpriteEditor;
class SpritePreview;

// What the Sprite page reaches outside itself.
struct SpritePageCrossings {
    // The pick list, filled with the palette names and opened for a palette.
    std::function<void(const QStringList &names)> offerPalettes;
    // The unsaved drawing written to the recovery journal now, before a
    // change of size replaces it.
    std::function<void()> keepUnsavedWork;
    // Save put the sprite into its files.
    std::function<void()> spriteSaved;
    // The sprite took another size for this run (Open, Un): the pages are
    // laid out again.
    std::function<void()> sizeChanged;
};

// The Sprite page (TabItem2): the file menu with the cel label, the sprite
// file chooser, the canvas, and the tool bar with the colour bar, the
// preview and the fifteen tool buttons. Each handler hands its event to the
// sprite editor's model; the canvas, the preview and the cel label follow
// the document by its changed() signal (RefreshSprite).
//
//   SpritePage page(editor, settings, paths, crossings, handlers);
//   page.layoutPage(layout);
//   page.AllocateSpriteBuffers(16);
class SpritePage : public QWidget {
    Q_OBJECT

public:
    SpritePage(SpriteEditor &editor, SettingsStore &settings, const WorkspacePaths &paths,
               SpritePageCrossings crossings, Handlers &handlers, QWidget *parent = nullptr);

    void layoutPage(const LayoutResult &layout);

    // A new empty sprite of `size` pixels, and no undo.
    void AllocateSpriteBuffers(int size);
    // Apply and Default's change of the sprite size: an unsaved drawing is
    // kept in the journal first, and Un brings it back.
    void resizeSprite(int size);
    // The label, the canvas and the preview show the document.
    void RefreshSprite();
    // The palette bar and every picture in the current palette's colours.
    void repaintSpriteColours();
    // The pick list's palette choice.
    void choosePalette(const QString &name);
    // The name field shows the name the sprite belongs to.
    void showSpriteName();
    // The sprite size follows the document's (Open, Un, recovery) for this run.
    void adoptDocumentSize();
    // Escape: an open file chooser closes as its Cancel does.
    bool closeChooser();

private:
    void pntMainMouseDown(QPointF position);
    void pntMainMouseMove(QPointF position, bool leftHeld);
    void pntColorMouseDown(double x);
    void pntViewClick();
    void btGraAddClick();
    void btGraDelClick();
    void btGraBackClick();
    void btGraNextClick();
    void btGraCopyClick();
    void btGraPasteClick();
    void btGraPaintClick();
    void btGraRotateClick();
    void btGraFlipVClick();
    void btGraFlipHClick();
    void btGraShiftUClick();
    void btGraShiftRClick();
    void btGraShiftDClick();
    void btGraShiftLClick();
    void btGraDataClick();
    void btGraNewClick();
    void btGraOpenClick();
    void btGraSaveClick();
    void btGraOkClick();
    void btGraCancelClick();
    void edtGraFileChange(const QString &text);
    void showSpriteChooser(bool choosing);

    SpriteEditor &editor_;
    SettingsStore &Settings;
    WorkspacePaths paths_;
    SpritePageCrossings crossings_;
    Handlers &handlers_;
    LayoutResult layout_;
    int sizeLaidOut_ = 0;  // the sprite size of the last layout pass

    QWidget *pnlGraMenu = nullptr;
    QPushButton *btGraNew = nullptr;
    QPushButton *btGraOpen = nullptr;
    QPushButton *btGraSave = nullptr;
    QLineEdit *edtGraFile = nullptr;
    QLabel *lblCel = nullptr;
    FileChooser files_;  // pnlGraFiles, lstGrafiles, btGraOk, btGraCancel, btGraDelete
    SpriteCanvas *pntMain = nullptr;
    QWidget *pnlGraTools = nullptr;
    ColorBar *pntColor = nullptr;
    SpritePreview *pntView = nullptr;
    std::array<QPushButton *, ToolButtonCount> ToolButtons{};  // indexed by SpriteTool
};

} // namespace quill
