// The Sprite page: its file menu, the sprite file chooser, the canvas and the
// tool bar with the colour bar, the preview and the fifteen tool buttons.
// Each handler hands the event to the sprite editor's model and repaints.
#include "app/ammain.h"

#include "base/controls/controls.h"
#include "base/controls/shownvalue.h"
#include "base/filelist.h"
#include "app/unsavedwork.h"
#include "base/filename.h"
#include "base/replacequestion.h"
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
    spritePage_.pnlGraMenu = quill::makePanel(page, "pnlGraMenu", QStringLiteral("Sprite menu"));
    spritePage_.btGraNew = makeButton(spritePage_.pnlGraMenu, "btGraNew", QStringLiteral("New"));
    spritePage_.btGraOpen = makeButton(spritePage_.pnlGraMenu, "btGraOpen", QStringLiteral("Open"));
    spritePage_.btGraSave = makeButton(spritePage_.pnlGraMenu, "btGraSave", QStringLiteral("Save"));
    spritePage_.edtGraFile = quill::makeLineEdit(spritePage_.pnlGraMenu, "edtGraFile",
                                                 QStringLiteral("Sprite name"));
    spritePage_.edtGraFile->setFocusPolicy(Qt::ClickFocus);
    spritePage_.lblCel =
        quill::makeValueLabel(spritePage_.pnlGraMenu, "lblCel", QStringLiteral("Cel"), QStringLiteral("1/1"));
    spritePage_.lblCel->setAlignment(Qt::AlignCenter);
    wire(spritePage_.edtGraFile, &QLineEdit::textChanged, &TfrmMain::edtGraFileChange);
    wire(spritePage_.btGraNew, &QPushButton::clicked, &TfrmMain::btGraNewClick);
    wire(spritePage_.btGraOpen, &QPushButton::clicked, &TfrmMain::btGraOpenClick);
    wire(spritePage_.btGraSave, &QPushButton::clicked, &TfrmMain::btGraSaveClick);

    spritePage_.pntMain = quill::named(new quill::SpriteCanvas(page), "pntMain", QStringLiteral("Sprite canvas"));
    wire(spritePage_.pntMain, &quill::SpriteCanvas::pressed, &TfrmMain::pntMainMouseDown);
    wire(spritePage_.pntMain, &quill::SpriteCanvas::moved, &TfrmMain::pntMainMouseMove);

    spritePage_.files = quill::makeFileChooser(
        page, {"pnlGraFiles", "lstGrafiles", "btGraOk", "btGraCancel", "btGraDelete"},
        QStringLiteral("Sprite file chooser"), QStringLiteral("Sprite files"));
    wire(spritePage_.files.ok, &QPushButton::clicked, &TfrmMain::btGraOkClick);
    wire(spritePage_.files.cancel, &QPushButton::clicked, &TfrmMain::btGraCancelClick);
    wire(spritePage_.files.list, &QListWidget::itemDoubleClicked, &TfrmMain::btGraOkClick);

    spritePage_.pnlGraTools = quill::makePanel(page, "pnlGraTools", QStringLiteral("Sprite tools"));
    spritePage_.pntColor = quill::named(new quill::ColorBar(spritePage_.pnlGraTools), "pntColor",
                                   QStringLiteral("Colour bar"));
    wire(spritePage_.pntColor, &quill::ColorBar::pressed, &TfrmMain::pntColorMouseDown);
    spritePage_.pntView = quill::named(new quill::SpritePreview(spritePage_.pnlGraTools), "pntView",
                                  QStringLiteral("Sprite preview"));
    wire(spritePage_.pntView, &quill::SpritePreview::tapped, &TfrmMain::pntViewClick);
    spritePage_.pntView->setSource([this](int cel) { return spriteEditor_->document().cel(cel); },
                              [this] { return spriteEditor_->document().CelCount(); });
    for (int index = 0; index < quill::ToolButtonCount; ++index) {
        const ToolButtonDesign &design = toolButtonDesigns[index];
        QPushButton *button =
            makeButton(spritePage_.pnlGraTools, design.name, QString::fromLatin1(design.caption));
        button->setAccessibleDescription(QString::fromLatin1(design.description));
        wire(button, &QPushButton::clicked, design.handler);
        spritePage_.ToolButtons[index] = button;
    }
}

void TfrmMain::layoutSpritePage()
{
    layoutFileMenu(spritePage_.pnlGraMenu, spritePage_.btGraNew, spritePage_.btGraOpen, spritePage_.btGraSave, spritePage_.edtGraFile);
    spritePage_.lblCel->setGeometry(layout_.celLabel);

    spritePage_.pntMain->setGeometry(layout_.canvas);
    quill::layoutFileChooser(spritePage_.files, layout_.spriteChooser, layout_.listsFitNames);

    spritePage_.pnlGraTools->setGeometry(layout_.toolBar);
    spritePage_.pntColor->setGeometry(layout_.colorBar);
    spritePage_.pntView->setGeometry(layout_.preview);
    for (int index = 0; index < quill::ToolButtonCount; ++index)
        spritePage_.ToolButtons[index]->setGeometry(layout_.toolButtons[index]);
    if (spriteEditor_)
        repaintSpriteColours();
}

void TfrmMain::AllocateSpriteBuffers()
{
    if (!spriteEditor_)
        spriteEditor_ = std::make_unique<quill::SpriteEditor>(SpriteSize);
    else
        spriteEditor_->document().AllocateSpriteBuffers(SpriteSize);
    RefreshSprite();
}

void TfrmMain::RefreshSprite()
{
    workChanged();
    const quill::SpriteDocument &doc = spriteEditor_->document();
    quill::showValue(spritePage_.lblCel, doc.celLabel());
    spritePage_.pntView->stopAnimation();
    spritePage_.pntMain->showCel(doc.currentCelPixels(), doc.spriteSize(), layout_.canvasZoom, spriteEditor_->palette());
    spritePage_.pntView->showCel(doc.CurrentCel(), doc.spriteSize(), spriteEditor_->palette());
}

void TfrmMain::repaintSpriteColours()
{
    const quill::SpriteDocument &doc = spriteEditor_->document();
    spritePage_.pntColor->showPalette(spriteEditor_->palette(), spriteEditor_->SelectedColor(), layout_.swatchSize);
    spritePage_.pntMain->showCel(doc.currentCelPixels(), doc.spriteSize(), layout_.canvasZoom, spriteEditor_->palette());
    spritePage_.pntView->showCel(doc.CurrentCel(), doc.spriteSize(), spriteEditor_->palette());
}

void TfrmMain::pntMainMouseDown(QPointF position)
{
    const auto cell = quill::canvasCellAt(position, layout_.canvasZoom, spriteEditor_->document().spriteSize());
    if (!cell)
        return;
    const bool changed = spriteEditor_->tap(cell->x, cell->y);
    quill::showCaption(spritePage_.tool(SpriteTool::Pen), quill::penKindCaption(spriteEditor_->penKind()));
    if (changed)
        RefreshSprite();
}

void TfrmMain::pntMainMouseMove(QPointF position, bool leftHeld)
{
    const auto cell = quill::canvasCellAt(position, layout_.canvasZoom, spriteEditor_->document().spriteSize());
    if (leftHeld && cell && spriteEditor_->drag(cell->x, cell->y))
        RefreshSprite();
}

void TfrmMain::pntColorMouseDown(double x)
{
    spriteEditor_->selectColor(quill::swatchAt(x, layout_.swatchSize));
    spritePage_.pntColor->showPalette(spriteEditor_->palette(), spriteEditor_->SelectedColor(), layout_.swatchSize);
}

void TfrmMain::pntViewClick()
{
    spritePage_.pntView->toggleAnimation();
}

void TfrmMain::btGraAddClick()
{
    spriteEditor_->document().addCel();
    RefreshSprite();
}

void TfrmMain::btGraDelClick()
{
    spriteEditor_->document().deleteCel();
    RefreshSprite();
}

void TfrmMain::btGraBackClick()
{
    spriteEditor_->document().previousCel();
    RefreshSprite();
}

void TfrmMain::btGraNextClick()
{
    spriteEditor_->document().nextCel();
    RefreshSprite();
}

void TfrmMain::btGraCopyClick()
{
    spriteEditor_->document().copyCel();
    RefreshSprite();
}

void TfrmMain::btGraPasteClick()
{
    spriteEditor_->document().pasteCel();
    RefreshSprite();
}

void TfrmMain::btGraPaintClick()
{
    spriteEditor_->cyclePenKind();
    quill::showCaption(spritePage_.tool(SpriteTool::Pen), quill::penKindCaption(spriteEditor_->penKind()));
}

void TfrmMain::btGraRotateClick()
{
    spriteEditor_->rotate();
    RefreshSprite();
}

void TfrmMain::btGraFlipVClick()
{
    spriteEditor_->mirrorLeftRight();
    RefreshSprite();
}

void TfrmMain::btGraFlipHClick()
{
    spriteEditor_->mirrorTopBottom();
    RefreshSprite();
}

void TfrmMain::btGraShiftUClick()
{
    spriteEditor_->shift();
    RefreshSprite();
}

void TfrmMain::btGraShiftRClick()
{
    spriteEditor_->cycleShiftDirection();
    quill::showCaption(spritePage_.tool(SpriteTool::ShiftDirection),
                       quill::shiftDirectionCaption(spriteEditor_->shiftDirection()));
}

void TfrmMain::btGraShiftDClick()
{
    spriteEditor_->document().eraseCel();
    RefreshSprite();
}

void TfrmMain::btGraShiftLClick()
{
    spriteEditor_->document().Undo();
    // Undoing a New, an Open or a change of size brings back the former
    // sprite's name, and its size for this run.
    showSpriteName();
    adoptDocumentSize();
    RefreshSprite();
}

void TfrmMain::adoptDocumentSize()
{
    const int size = spriteEditor_->document().spriteSize();
    if (size == SpriteSize)
        return;
    SpriteSize = size;
    LayoutScreen();
}

void TfrmMain::showSpriteName()
{
    if (spritePage_.edtGraFile->text() != spriteEditor_->document().name())
        spritePage_.edtGraFile->setText(spriteEditor_->document().name());
}

void TfrmMain::edtGraFileChange(const QString &text)
{
    if (spriteEditor_)
        spriteEditor_->document().setName(text);
}

void TfrmMain::resizeSprite(int size)
{
    // An unsaved drawing goes into the journal now, where the empty sprite
    // of the new size does not replace it, and Un brings it back at once.
    quill::SpriteDocument &document = spriteEditor_->document();
    const bool keep = document.unsaved() && !document.pristine();
    if (keep) {
        keepUnsavedWork();
        unsavedWork_->flush();
    }
    document.startOver(size);
    SpriteSize = size;
    showSpriteName();
    RefreshSprite();
    if (keep)
        messages_->showMessage(QStringLiteral("The unsaved drawing was kept: Un brings it back."));
}

void TfrmMain::btGraDataClick()
{
    PickList->setItems(quill::paletteNames(Settings));
    PickList->OpenPickList(quill::PickMode::Palettes);
}

void TfrmMain::choosePalette(const QString &name)
{
    spriteEditor_->choosePalette(Settings, name);
    repaintSpriteColours();
}

void TfrmMain::btGraNewClick()
{
    // Un brings back the sprite and its name.
    spriteEditor_->document().startNew();
    showSpriteName();
    RefreshSprite();
}

void TfrmMain::btGraOpenClick()
{
    quill::setListItems(spritePage_.files.list, quill::ListFiles(paths_.spriteDir));
    showSpriteChooser(true);
}

void TfrmMain::btGraCancelClick()
{
    showSpriteChooser(false);
}

void TfrmMain::btGraOkClick()
{
    const QListWidgetItem *item = spritePage_.files.list->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString name = item->text();
    // A save cut short after its sheet is completed first; a pair that
    // still differs is told once the sprite is shown.
    const std::optional<QString> mismatch = quill::checkSpritePair(paths_.spriteDir, paths_.imageDir, name);
    // The file is read and checked whole before the document changes; Un
    // brings back the sprite it replaces.
    const quill::SpriteFileContent content = quill::openSprite(paths_.spriteDir, name);
    spriteEditor_->document().open(content, name);
    showSpriteName();
    // Another size for this run only: the "sprite" setting stays.
    adoptDocumentSize();
    showSpriteChooser(false);
    RefreshSprite();
    if (mismatch)
        messages_->showMessage(*mismatch);
}

void TfrmMain::btGraSaveClick()
{
    const QString name = spritePage_.edtGraFile->text();
    quill::checkFileName(name);
    quill::SpriteDocument &document = spriteEditor_->document();
    if (!quill::mayReplace(*messages_, name, document.origin(),
                           {paths_.spriteDir + name, paths_.imageDir + name + QStringLiteral(".png")}))
        return;
    quill::saveSprite(document, spriteEditor_->palette(), paths_.spriteDir, paths_.imageDir, name);
    document.savedAs(name);
    unsavedWork_->spriteSaved(document);
    messages_->showMessage(QStringLiteral("Saved."));
}

void TfrmMain::showSpriteChooser(bool choosing)
{
    if (choosing)
        quill::layoutFileChooser(spritePage_.files, layout_.spriteChooser, layout_.listsFitNames);
    spritePage_.pnlGraTools->setVisible(!choosing);
    spritePage_.pntMain->setVisible(!choosing);
    spritePage_.files.panel->setVisible(choosing);
}
