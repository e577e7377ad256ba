// The Sprite page: its file menu, the sprite file chooser, the canvas and the
// tool bar with the colour bar, the preview and the fifteen tool buttons.
#include "app/ammain.h"

#include "app/base/controls.h"
#include "app/spritepage.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

struct ToolButtonDesign {
    const char *name;
    const char *caption;
    const char *description;
};

// Indexed by SpriteTool.
constexpr ToolButtonDesign ToolButtonDesigns[quill::ToolButtonCount] = {
    {"btGraAdd", "Ad", "Add a character"},
    {"btGraDel", "Dl", "Delete a character"},
    {"btGraBack", "<-", "Previous character"},
    {"btGraNext", "->", "Next character"},
    {"btGraCopy", "Cp", "Copy a character"},
    {"btGraPaste", "Ps", "Paste a character"},
    {"btGraPaint", "Pn", "Cycle a pen kind"},
    {"btGraRotate", "Rt", "Rotate"},
    {"btGraFlipV", "Fv", "Flip vertical"},
    {"btGraFlipH", "Fh", "Flip horizontal"},
    {"btGraShiftU", "Sh", "Shift"},
    {"btGraShiftR", "U", "Cycle a shift direction"},
    {"btGraShiftD", "Er", "Erase a current character"},
    {"btGraShiftL", "Un", "Undo"},
    {"btGraData", "Cl", "Change a color palette"},
};
static_assert(quill::toolIndex(quill::SpriteTool::Palette) == quill::ToolButtonCount - 1);

} // namespace

void TfrmMain::createSpritePage(QWidget *page)
{
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

    Sprite.pntMain = quill::named(new QWidget(page), "pntMain", QStringLiteral("Sprite canvas"));

    Sprite.files = quill::makeFileChooser(
        page, {"pnlGraFiles", "lstGrafiles", "btGraOk", "btGraCancel", "btGraDelete"},
        QStringLiteral("Sprite file chooser"), QStringLiteral("Sprite files"));

    Sprite.pnlGraTools = quill::makePanel(page, "pnlGraTools", QStringLiteral("Sprite tools"));
    Sprite.pntColor = quill::named(new QWidget(Sprite.pnlGraTools), "pntColor", QStringLiteral("Colour bar"));
    Sprite.pntView = quill::named(new QWidget(Sprite.pnlGraTools), "pntView", QStringLiteral("Sprite preview"));
    for (int index = 0; index < quill::ToolButtonCount; ++index) {
        const ToolButtonDesign &design = ToolButtonDesigns[index];
        QPushButton *button =
            makeButton(Sprite.pnlGraTools, design.name, QString::fromLatin1(design.caption));
        button->setAccessibleDescription(QString::fromLatin1(design.description));
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
}
