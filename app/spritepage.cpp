// The Sprite page: its file menu, the sprite file chooser, the canvas and the
// tool bar with the colour bar, the preview and the fifteen tool buttons.
#include "app/ammain.h"

#include "app/base/controls.h"

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

// In the order of LayoutResult::toolButtons.
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

} // namespace

void TfrmMain::createSpritePage(QWidget *page)
{
    using quill::makeButton;
    pnlGraMenu = quill::makePanel(page, "pnlGraMenu", QStringLiteral("Sprite menu"));
    btGraNew = makeButton(pnlGraMenu, "btGraNew", QStringLiteral("New"));
    btGraOpen = makeButton(pnlGraMenu, "btGraOpen", QStringLiteral("Open"));
    btGraSave = makeButton(pnlGraMenu, "btGraSave", QStringLiteral("Save"));
    edtGraFile = quill::named(new QLineEdit(pnlGraMenu), "edtGraFile", QStringLiteral("Sprite name"));
    lblCel = quill::named(new QLabel(QStringLiteral("1/1"), pnlGraMenu), "lblCel", QStringLiteral("Cel"));
    lblCel->setAlignment(Qt::AlignCenter);

    pntMain = quill::named(new QWidget(page), "pntMain", QStringLiteral("Sprite canvas"));

    const quill::FileChooser chooser = quill::makeFileChooser(
        page, {"pnlGraFiles", "lstGrafiles", "btGraOk", "btGraCancel", "btGraDelete"},
        QStringLiteral("Sprite file chooser"), QStringLiteral("Sprite files"));
    pnlGraFiles = chooser.panel;
    lstGrafiles = chooser.list;
    btGraOk = chooser.ok;
    btGraCancel = chooser.cancel;
    btGraDelete = chooser.remove;

    pnlGraTools = quill::makePanel(page, "pnlGraTools", QStringLiteral("Sprite tools"));
    pntColor = quill::named(new QWidget(pnlGraTools), "pntColor", QStringLiteral("Colour bar"));
    pntView = quill::named(new QWidget(pnlGraTools), "pntView", QStringLiteral("Sprite preview"));
    for (int index = 0; index < quill::ToolButtonCount; ++index) {
        const ToolButtonDesign &design = ToolButtonDesigns[index];
        QPushButton *button = makeButton(pnlGraTools, design.name, QString::fromLatin1(design.caption));
        button->setAccessibleDescription(QString::fromLatin1(design.description));
        ToolButtons[index] = button;
    }
}

void TfrmMain::layoutSpritePage()
{
    pnlGraMenu->setGeometry(0, 0, Layout.pageWidth, quill::MenuBarHeight);
    btGraNew->setGeometry(Layout.newButton);
    btGraOpen->setGeometry(Layout.openButton);
    btGraSave->setGeometry(Layout.saveButton);
    edtGraFile->setGeometry(Layout.fileEdit);
    lblCel->setGeometry(Layout.celLabel);

    pntMain->setGeometry(Layout.canvas);
    pnlGraFiles->setGeometry(Layout.canvas);
    lstGrafiles->setGeometry(0, 0, quill::ChooserListWidth, Layout.canvas.height());

    pnlGraTools->setGeometry(Layout.toolBar);
    pntColor->setGeometry(Layout.colorBar);
    pntView->setGeometry(Layout.preview);
    for (int index = 0; index < quill::ToolButtonCount; ++index)
        ToolButtons[index]->setGeometry(Layout.toolButtons[index]);
}
