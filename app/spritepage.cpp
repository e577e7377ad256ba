#include "app/spritepage.h"

#include "base/controls/shownvalue.h"
#include "base/filelist.h"
#include "base/filename.h"
#include "base/messagesink.h"
#include "base/replacequestion.h"
#include "app/filemenu.h"
#include "app/handlerboundary.h"
#include "sprite/colorbar.h"
#include "sprite/palette.h"
#include "sprite/spritecanvas.h"
#include "sprite/spriteeditor.h"
#include "sprite/spritepreview.h"
#include "sprite/spritestorage.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace quill {

namespace {

struct ToolButtonDesign {
    const char *name;
    const char *caption;
    const char *description;
    void (SpritePage::*handler)();
};

} // namespace

SpritePage::SpritePage(SpriteEditor &editor, SettingsStore &settings, const WorkspacePaths &paths,
                       SpritePageCrossings crossings, Handlers &handlers, QWidget *parent)
    : QWidget(parent), editor_(editor), Settings(settings), paths_(paths), crossings_(std::move(crossings)),
      handlers_(handlers)
{
    named(this, "TabItem2", QStringLiteral("Sprite page"));
    // Indexed by SpriteTool.
    const ToolButtonDesign toolButtonDesigns[ToolButtonCount] = {
        {"btGraAdd", "Ad", "Add a character", &SpritePage::btGraAddClick},
        {"btGraDel", "Dl", "Delete a character", &SpritePage::btGraDelClick},
        {"btGraBack", "<-", "Previous character", &SpritePage::btGraBackClick},
        {"btGraNext", "->", "Next character", &SpritePage::btGraNextClick},
        {"btGraCopy", "Cp", "Copy a character", &SpritePage::btGraCopyClick},
        {"btGraPaste", "Ps", "Paste a character", &SpritePage::btGraPasteClick},
        {"btGraPaint", "Pn", "Cycle a pen kind", &SpritePage::btGraPaintClick},
        {"btGraRotate", "Rt", "Rotate", &SpritePage::btGraRotateClick},
        {"btGraFlipV", "Fv", "Flip vertical", &SpritePage::btGraFlipVClick},
        {"btGraFlipH", "Fh", "Flip horizontal", &SpritePage::btGraFlipHClick},
        {"btGraShiftU", "Sh", "Shift", &SpritePage::btGraShiftUClick},
        {"btGraShiftR", "U", "Cycle a shift direction", &SpritePage::btGraShiftRClick},
        {"btGraShiftD", "Er", "Erase a current character", &SpritePage::btGraShiftDClick},
        {"btGraShiftL", "Un", "Undo", &SpritePage::btGraShiftLClick},
        {"btGraData", "Cl", "Change a color palette", &SpritePage::btGraDataClick},
    };
    static_assert(toolIndex(SpriteTool::Palette) == ToolButtonCount - 1);

    pnlGraMenu = makePanel(this, "pnlGraMenu", QStringLiteral("Sprite menu"));
    btGraNew = makeButton(pnlGraMenu, "btGraNew", QStringLiteral("New"));
    btGraOpen = makeButton(pnlGraMenu, "btGraOpen", QStringLiteral("Open"));
    btGraSave = makeButton(pnlGraMenu, "btGraSave", QStringLiteral("Save"));
    edtGraFile = makeLineEdit(pnlGraMenu, "edtGraFile", QStringLiteral("Sprite name"));
    edtGraFile->setFocusPolicy(Qt::ClickFocus);
    lblCel = makeValueLabel(pnlGraMenu, "lblCel", QStringLiteral("Cel"), QStringLiteral("1/1"));
    lblCel->setAlignment(Qt::AlignCenter);
    handlers_.wire(edtGraFile, &QLineEdit::textChanged, this, &SpritePage::edtGraFileChange);
    handlers_.wire(btGraNew, &QPushButton::clicked, [this] { btGraNewClick(); });
    handlers_.wire(btGraOpen, &QPushButton::clicked, [this] { btGraOpenClick(); });
    handlers_.wire(btGraSave, &QPushButton::clicked, [this] { btGraSaveClick(); });

    pntMain = named(new SpriteCanvas(this), "pntMain", QStringLiteral("Sprite canvas"));
    handlers_.wire(pntMain, &SpriteCanvas::pressed, this, &SpritePage::pntMainMouseDown);
    handlers_.wire(pntMain, &SpriteCanvas::moved, this, &SpritePage::pntMainMouseMove);

    files_ = makeFileChooser(this, {"pnlGraFiles", "lstGrafiles", "btGraOk", "btGraCancel", "btGraDelete"},
                             QStringLiteral("Sprite file chooser"), QStringLiteral("Sprite files"));
    handlers_.wire(files_.ok, &QPushButton::clicked, [this] { btGraOkClick(); });
    handlers_.wire(files_.cancel, &QPushButton::clicked, [this] { btGraCancelClick(); });
    handlers_.wire(files_.list, &QListWidget::itemDoubleClicked, [this] { btGraOkClick(); });

    pnlGraTools = makePanel(this, "pnlGraTools", QStringLiteral("Sprite tools"));
    pntColor = named(new ColorBar(pnlGraTools), "pntColor", QStringLiteral("Colour bar"));
    handlers_.wire(pntColor, &ColorBar::pressed, this, &SpritePage::pntColorMouseDown);
    pntView = named(new SpritePreview(pnlGraTools), "pntView", QStringLiteral("Sprite preview"));
    handlers_.wire(pntView, &SpritePreview::tapped, [this] { pntViewClick(); });
    pntView->setSource([this](int cel) { return editor_.document().cel(cel); },
                       [this] { return editor_.document().CelCount(); });
    for (int index = 0; index < ToolButtonCount; ++index) {
        const ToolButtonDesign &design = toolButtonDesigns[index];
        QPushButton *button = makeButton(pnlGraTools, design.name, QString::fromLatin1(design.caption));
        button->setAccessibleDescription(QString::fromLatin1(design.description));
        handlers_.wire(button, &QPushButton::clicked, [this, handler = design.handler] { (this->*handler)(); });
        ToolButtons[index] = button;
    }

    // The pictures follow the document.
    connect(&editor_.document(), &SpriteDocument::changed, this, &SpritePage::RefreshSprite);
}

void SpritePage::layoutPage(const LayoutResult &layout)
{
    layout_ = layout;
    sizeLaidOut_ = editor_.document().spriteSize();
    layoutFileMenu(layout, pnlGraMenu, btGraNew, btGraOpen, btGraSave, edtGraFile);
    lblCel->setGeometry(layout.celLabel);

    pntMain->setGeometry(layout.canvas);
    layoutFileChooser(files_, layout.spriteChooser, layout.listsFitNames);

    pnlGraTools->setGeometry(layout.toolBar);
    pntColor->setGeometry(layout.colorBar);
    pntView->setGeometry(layout.preview);
    for (int index = 0; index < ToolButtonCount; ++index)
        ToolButtons[index]->setGeometry(layout.toolButtons[index]);
    repaintSpriteColours();
}

void SpritePage::AllocateSpriteBuffers(int size)
{
    editor_.document().AllocateSpriteBuffers(size);
}

void SpritePage::RefreshSprite()
{
    const SpriteDocument &doc = editor_.document();
    showValue(lblCel, doc.celLabel());
    pntView->stopAnimation();
    pntMain->showCel(doc.currentCelPixels(), doc.spriteSize(), layout_.canvasZoom, editor_.palette());
    pntView->showCel(doc.CurrentCel(), doc.spriteSize(), editor_.palette());
}

void SpritePage::repaintSpriteColours()
{
    const SpriteDocument &doc = editor_.document();
    pntColor->showPalette(editor_.palette(), editor_.SelectedColor(), layout_.swatchSize);
    pntMain->showCel(doc.currentCelPixels(), doc.spriteSize(), layout_.canvasZoom, editor_.palette());
    pntView->showCel(doc.CurrentCel(), doc.spriteSize(), editor_.palette());
}

// ---- the canvas, the colour bar and the preview ----------------------------------

void SpritePage::pntMainMouseDown(QPointF position)
{
    const auto cell = canvasCellAt(position, layout_.canvasZoom, editor_.document().spriteSize());
    if (!cell)
        return;
    editor_.tap(cell->x, cell->y);
    showCaption(ToolButtons[toolIndex(SpriteTool::Pen)], penKindCaption(editor_.penKind()));
}

void SpritePage::pntMainMouseMove(QPointF position, bool leftHeld)
{
    const auto cell = canvasCellAt(position, layout_.canvasZoom, editor_.document().spriteSize());
    if (leftHeld && cell)
        editor_.drag(cell->x, cell->y);
}

void SpritePage::pntColorMouseDown(double x)
{
    editor_.selectColor(swatchAt(x, layout_.swatchSize));
    pntColor->showPalette(editor_.palette(), editor_.SelectedColor(), layout_.swatchSize);
}

void SpritePage::pntViewClick()
{
    pntView->toggleAnimation();
}

// ---- the tool buttons -------------------------------------------------------------

void SpritePage::btGraAddClick()
{
    editor_.document().addCel();
}

void SpritePage::btGraDelClick()
{
    editor_.document().deleteCel();
}

void SpritePage::btGraBackClick()
{
    editor_.document().previousCel();
}

void SpritePage::btGraNextClick()
{
    editor_.document().nextCel();
}

void SpritePage::btGraCopyClick()
{
    editor_.document().copyCel();
}

void SpritePage::btGraPasteClick()
{
    editor_.document().pasteCel();
}

void SpritePage::btGraPaintClick()
{
    editor_.cyclePenKind();
    showCaption(ToolButtons[toolIndex(SpriteTool::Pen)], penKindCaption(editor_.penKind()));
}

void SpritePage::btGraRotateClick()
{
    editor_.rotate();
}

void SpritePage::btGraFlipVClick()
{
    editor_.mirrorLeftRight();
}

void SpritePage::btGraFlipHClick()
{
    editor_.mirrorTopBottom();
}

void SpritePage::btGraShiftUClick()
{
    editor_.shift();
}

void SpritePage::btGraShiftRClick()
{
    editor_.cycleShiftDirection();
    showCaption(ToolButtons[toolIndex(SpriteTool::ShiftDirection)], shiftDirectionCaption(editor_.shiftDirection()));
}

void SpritePage::btGraShiftDClick()
{
    editor_.document().eraseCel();
}

void SpritePage::btGraShiftLClick()
{
    editor_.document().Undo();
    // Undoing a New, an Open or a change of size brings back the former
    // sprite's name, and its size for this run.
    showSpriteName();
    adoptDocumentSize();
}

void SpritePage::btGraDataClick()
{
    crossings_.offerPalettes(paletteNames(Settings));
}

void SpritePage::choosePalette(const QString &name)
{
    editor_.choosePalette(Settings, name);
    repaintSpriteColours();
}

// ---- the sprite's size and name -----------------------------------------------------

void SpritePage::adoptDocumentSize()
{
    if (editor_.document().spriteSize() != sizeLaidOut_)
        crossings_.sizeChanged();
}

void SpritePage::resizeSprite(int size)
{
    // An unsaved drawing goes into the journal now, where the empty sprite
    // of the new size does not replace it, and Un brings it back at once.
    SpriteDocument &document = editor_.document();
    const bool keep = document.unsaved() && !document.pristine();
    if (keep)
        crossings_.keepUnsavedWork();
    document.startOver(size);
    showSpriteName();
    if (keep)
        handlers_.messages().showMessage(QStringLiteral("The unsaved drawing was kept: Un brings it back."));
}

void SpritePage::showSpriteName()
{
    if (edtGraFile->text() != editor_.document().name())
        edtGraFile->setText(editor_.document().name());
}

void SpritePage::edtGraFileChange(const QString &text)
{
    editor_.document().setName(text);
}

// ---- sprite files ---------------------------------------------------------------------

void SpritePage::btGraNewClick()
{
    // Un brings back the sprite and its name.
    editor_.document().startNew();
    showSpriteName();
}

void SpritePage::btGraOpenClick()
{
    setListItems(files_.list, ListFiles(paths_.spriteDir));
    showSpriteChooser(true);
}

void SpritePage::btGraCancelClick()
{
    showSpriteChooser(false);
}

bool SpritePage::closeChooser()
{
    return cancelFileChooser(files_);
}

void SpritePage::btGraOkClick()
{
    const QListWidgetItem *item = files_.list->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString name = item->text();
    // A save cut short after its sheet is completed first; a pair that
    // still differs is told once the sprite is shown.
    const std::optional<QString> mismatch = checkSpritePair(paths_.spriteDir, paths_.imageDir, name);
    // The file is read and checked whole before the document changes; Un
    // brings back the sprite it replaces.
    const SpriteFileContent content = openSprite(paths_.spriteDir, name);
    editor_.document().open(content, name);
    showSpriteName();
    // Another size for this run only: the "sprite" setting stays.
    adoptDocumentSize();
    showSpriteChooser(false);
    if (mismatch)
        handlers_.messages().showMessage(*mismatch);
}

void SpritePage::btGraSaveClick()
{
    const QString name = edtGraFile->text();
    checkFileName(name);
    SpriteDocument &document = editor_.document();
    if (!mayReplace(handlers_.messages(), name, document.origin(),
                    {paths_.spriteDir + name, paths_.imageDir + name + QStringLiteral(".png")}))
        return;
    saveSprite(document, editor_.palette(), paths_.spriteDir, paths_.imageDir, name);
    document.savedAs(name);
    crossings_.spriteSaved();
    handlers_.messages().showMessage(QStringLiteral("Saved."));
}

void SpritePage::showSpriteChooser(bool choosing)
{
    if (choosing)
        layoutFileChooser(files_, layout_.spriteChooser, layout_.listsFitNames);
    pnlGraTools->setVisible(!choosing);
    pntMain->setVisible(!choosing);
    files_.panel->setVisible(choosing);
}

} // namespace quill
