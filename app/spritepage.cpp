// The Sprite page: its file menu, the sprite file chooser, the canvas and the
// tool bar with the colour bar, the preview and the fifteen tool buttons.
// Each handler hands the event to the sprite editor's model and repaints.
#include "app/ammain.h"

#include "base/controls/controls.h"
#include "base/filelist.h"
#include "app/spritepage.h"
#include "editor/picklist.h"
#include "sprite/colorbar.h"
#include "sprite/spritecanvas.h"
#include "sprite/spriteeditor.h"
#include "sprite/spritepreview.h"
#include "sprite/spritestorage.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

using quill::SpriteTool;

struct ToolButtonDesign {
    const char *name;
    const char *caption;
    const char *description;
    void (TfrmMain::*handler)();
};

} // namespace

void TfrmMain::createSpritePage(QWidget *page)
{
    // Indexed by SpriteTool.
    const ToolButtonDesign toolButtonDesigns[quill::ToolButtonCount] = {
        {"btGraAdd", "Ad", "Add a character", &TfrmMain::btGraAddClick},
        {"btGraDel", "Dl", "Delete a character", &TfrmMain::btGraDelClick},
        {"btGraBack", "<-", "Previous character", &TfrmMain::btGraBackClick},
        {"btGraNext", "->", "Next character", &TfrmMain::btGraNextClick},
        {"btGraCopy", "Cp", "Copy a character", &TfrmMain::btGraCopyClick},
        {"btGraPaste", "Ps", "Paste a character", &TfrmMain::btGraPasteClick},
        {"btGraPaint", "Pn", "Cycle a pen kind", &TfrmMain::btGraPaintClick},
        {"btGraRotate", "Rt", "Rotate", &TfrmMain::btGraRotateClick},
        {"btGraFlipV", "Fv", "Flip vertical", &TfrmMain::btGraFlipVClick},
        {"btGraFlipH", "Fh", "Flip horizontal", &TfrmMain::btGraFlipHClick},
        {"btGraShiftU", "Sh", "Shift", &TfrmMain::btGraShiftUClick},
        {"btGraShiftR", "U", "Cycle a shift direction", &TfrmMain::btGraShiftRClick},
        {"btGraShiftD", "Er", "Erase a current character", &TfrmMain::btGraShiftDClick},
        {"btGraShiftL", "Un", "Undo", &TfrmMain::btGraShiftLClick},
        {"btGraData", "Cl", "Change a color palette", &TfrmMain::btGraDataClick},
    };
    static_assert(quill::toolIndex(SpriteTool::Palette) == quill::ToolButtonCount - 1);

    using quill::makeButton;
    Sprite.pnlGraMenu = quill::makePanel(page, "pnlGraMenu", QStringLiteral("Sprite menu"));
    Sprite.btGraNew = makeButton(Sprite.pnlGraMenu, "btGraNew", QStringLiteral("New"));
    Sprite.btGraOpen = makeButton(Sprite.pnlGraMenu, "btGraOpen", QStringLiteral("Open"));
    Sprite.btGraSave = makeButton(Sprite.pnlGraMenu, "btGraSave", QStringLiteral("Save"));
    Sprite.edtGraFile = quill::named(new QLineEdit(Sprite.pnlGraMenu), "edtGraFile",
                                     QStringLiteral("Sprite name"));
    Sprite.lblCel = quill::named(new QLabel(QStringLiteral("1/1"), Sprite.pnlGraMenu), "lblCel",
                                 QStringLiteral("Cel"));
    Sprite.lblCel->setAlignment(Qt::AlignCenter);
    wire(Sprite.btGraNew, &QPushButton::clicked, &TfrmMain::btGraNewClick);
    wire(Sprite.btGraOpen, &QPushButton::clicked, &TfrmMain::btGraOpenClick);
    wire(Sprite.btGraSave, &QPushButton::clicked, &TfrmMain::btGraSaveClick);

    Sprite.pntMain = quill::named(new quill::SpriteCanvas(page), "pntMain", QStringLiteral("Sprite canvas"));
    wire(Sprite.pntMain, &quill::SpriteCanvas::pressed, &TfrmMain::pntMainMouseDown);
    wire(Sprite.pntMain, &quill::SpriteCanvas::moved, &TfrmMain::pntMainMouseMove);

    Sprite.files = quill::makeFileChooser(
        page, {"pnlGraFiles", "lstGrafiles", "btGraOk", "btGraCancel", "btGraDelete"},
        QStringLiteral("Sprite file chooser"), QStringLiteral("Sprite files"));
    wire(Sprite.files.ok, &QPushButton::clicked, &TfrmMain::btGraOkClick);
    wire(Sprite.files.cancel, &QPushButton::clicked, &TfrmMain::btGraCancelClick);

    Sprite.pnlGraTools = quill::makePanel(page, "pnlGraTools", QStringLiteral("Sprite tools"));
    Sprite.pntColor = quill::named(new quill::ColorBar(Sprite.pnlGraTools), "pntColor",
                                   QStringLiteral("Colour bar"));
    wire(Sprite.pntColor, &quill::ColorBar::pressed, &TfrmMain::pntColorMouseDown);
    Sprite.pntView = quill::named(new quill::SpritePreview(Sprite.pnlGraTools), "pntView",
                                  QStringLiteral("Sprite preview"));
    wire(Sprite.pntView, &quill::SpritePreview::tapped, &TfrmMain::pntViewClick);
    Sprite.pntView->setSource([this](int cel) { return Sprites->document().cel(cel); },
                              [this] { return Sprites->document().CelCount(); });
    for (int index = 0; index < quill::ToolButtonCount; ++index) {
        const ToolButtonDesign &design = toolButtonDesigns[index];
        QPushButton *button =
            makeButton(Sprite.pnlGraTools, design.name, QString::fromLatin1(design.caption));
        button->setAccessibleDescription(QString::fromLatin1(design.description));
        wire(button, &QPushButton::clicked, design.handler);
        Sprite.ToolButtons[index] = button;
    }
}

void TfrmMain::layoutSpritePage()
{
    Sprite.pnlGraMenu->setGeometry(0, 0, Layout.pageWidth, quill::MenuBarHeight);
    Sprite.btGraNew->setGeometry(Layout.newButton);
    Sprite.btGraOpen->setGeometry(Layout.openButton);
    Sprite.btGraSave->setGeometry(Layout.saveButton);
    Sprite.edtGraFile->setGeometry(Layout.fileEdit);
    Sprite.lblCel->setGeometry(Layout.celLabel);

    Sprite.pntMain->setGeometry(Layout.canvas);
    quill::layoutFileChooser(Sprite.files, Layout.canvas);

    Sprite.pnlGraTools->setGeometry(Layout.toolBar);
    Sprite.pntColor->setGeometry(Layout.colorBar);
    Sprite.pntView->setGeometry(Layout.preview);
    for (int index = 0; index < quill::ToolButtonCount; ++index)
        Sprite.ToolButtons[index]->setGeometry(Layout.toolButtons[index]);
    if (Sprites)
        repaintSpriteColours();
}

void TfrmMain::AllocateSpriteBuffers()
{
    if (!Sprites)
        Sprites = std::make_unique<quill::SpriteEditor>(SpriteSize);
    else
        Sprites->document().AllocateSpriteBuffers(SpriteSize);
    Sprites->selectColor(2);
    RefreshSprite();
}

void TfrmMain::RefreshSprite()
{
    const quill::SpriteDocument &doc = Sprites->document();
    Sprite.lblCel->setText(doc.celLabel());
    Sprite.pntView->stopAnimation();
    Sprite.pntMain->showCel(doc.currentCel(), doc.spriteSize(), Layout.canvasZoom, Sprites->Palette());
    Sprite.pntView->showCel(doc.CurrentCel(), doc.spriteSize(), Sprites->Palette());
}

void TfrmMain::repaintSpriteColours()
{
    const quill::SpriteDocument &doc = Sprites->document();
    Sprite.pntColor->showPalette(Sprites->Palette(), Sprites->SelectedColor(), Layout.swatchSize);
    Sprite.pntMain->showCel(doc.currentCel(), doc.spriteSize(), Layout.canvasZoom, Sprites->Palette());
    Sprite.pntView->showCel(doc.CurrentCel(), doc.spriteSize(), Sprites->Palette());
}

void TfrmMain::pntMainMouseDown(QPointF position)
{
    const auto cell = quill::canvasCellAt(position, Layout.canvasZoom, Sprites->document().spriteSize());
    if (!cell)
        return;
    const bool changed = Sprites->tap(cell->x, cell->y);
    Sprite.tool(SpriteTool::Pen)->setText(quill::penKindCaption(Sprites->penKind()));
    if (changed)
        RefreshSprite();
}

void TfrmMain::pntMainMouseMove(QPointF position, bool leftHeld)
{
    const auto cell = quill::canvasCellAt(position, Layout.canvasZoom, Sprites->document().spriteSize());
    if (leftHeld && cell && Sprites->drag(cell->x, cell->y))
        RefreshSprite();
}

void TfrmMain::pntColorMouseDown(double x)
{
    Sprites->selectColor(quill::swatchAt(x, Layout.swatchSize));
    Sprite.pntColor->showPalette(Sprites->Palette(), Sprites->SelectedColor(), Layout.swatchSize);
}

void TfrmMain::pntViewClick()
{
    Sprite.pntView->toggleAnimation();
}

void TfrmMain::btGraAddClick()
{
    Sprites->document().addCel();
    RefreshSprite();
}

void TfrmMain::btGraDelClick()
{
    Sprites->document().deleteCel();
    RefreshSprite();
}

void TfrmMain::btGraBackClick()
{
    Sprites->document().previousCel();
    RefreshSprite();
}

void TfrmMain::btGraNextClick()
{
    Sprites->document().nextCel();
    RefreshSprite();
}

void TfrmMain::btGraCopyClick()
{
    Sprites->document().copyCel();
    RefreshSprite();
}

void TfrmMain::btGraPasteClick()
{
    Sprites->document().pasteCel();
    RefreshSprite();
}

void TfrmMain::btGraPaintClick()
{
    Sprites->cyclePenKind();
    Sprite.tool(SpriteTool::Pen)->setText(quill::penKindCaption(Sprites->penKind()));
}

void TfrmMain::btGraRotateClick()
{
    Sprites->rotate();
    RefreshSprite();
}

void TfrmMain::btGraFlipVClick()
{
    Sprites->mirrorLeftRight();
    RefreshSprite();
}

void TfrmMain::btGraFlipHClick()
{
    Sprites->mirrorTopBottom();
    RefreshSprite();
}

void TfrmMain::btGraShiftUClick()
{
    Sprites->shift();
    RefreshSprite();
}

void TfrmMain::btGraShiftRClick()
{
    Sprites->cycleShiftDirection();
    Sprite.tool(SpriteTool::ShiftDirection)->setText(quill::shiftDirectionCaption(Sprites->shiftDirection()));
}

void TfrmMain::btGraShiftDClick()
{
    Sprites->document().eraseCel();
    RefreshSprite();
}

void TfrmMain::btGraShiftLClick()
{
    Sprites->document().Undo();
    RefreshSprite();
}

void TfrmMain::btGraDataClick()
{
    PickList->setItems(quill::paletteNames(Settings));
    PickList->OpenPickList(quill::PickMode::Palettes);
}

void TfrmMain::choosePalette(const QString &name)
{
    Sprites->choosePalette(Settings, name);
    repaintSpriteColours();
}

void TfrmMain::btGraNewClick()
{
    Sprite.edtGraFile->clear();
    Sprites->document().NewSprite();
    RefreshSprite();
}

void TfrmMain::btGraOpenClick()
{
    Sprites->document().discardUndo();
    quill::setListItems(Sprite.files.list, quill::ListFiles(Paths.spriteDir));
    showSpriteChooser(true);
}

void TfrmMain::btGraCancelClick()
{
    showSpriteChooser(false);
}

void TfrmMain::btGraOkClick()
{
    const QListWidgetItem *item = Sprite.files.list->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString name = item->text();
    // The file is read and checked whole before the document changes.
    const quill::SpriteFileContent content = quill::openSprite(Paths.spriteDir, name);
    Sprite.edtGraFile->setText(name);
    if (Sprites->document().loadFile(content)) {
        // Another size for this run only: the "sprite" setting stays.
        SpriteSize = content.size;
        LayoutScreen();
    }
    showSpriteChooser(false);
    RefreshSprite();
}

void TfrmMain::btGraSaveClick()
{
    quill::saveSprite(Sprites->document(), Sprites->Palette(), Paths.spriteDir, Paths.imageDir,
                      Sprite.edtGraFile->text());
    Messages->showMessage(QStringLiteral("Saved."));
}

void TfrmMain::showSpriteChooser(bool choosing)
{
    Sprite.pnlGraTools->setVisible(!choosing);
    Sprite.pntMain->setVisible(!choosing);
    Sprite.files.panel->setVisible(choosing);
}
