// The System page: the layout and export settings, Default, Apply, Export,
// Website and Quit, at the places the layout pass gives them.
#include "app/ammain.h"

#include "app/aboutpage.h"
#include "app/defaultsettings.h"
#include "base/controls/controls.h"
#include "base/workspace.h"
#include "app/shellopen.h"
#include "app/systemfields.h"
#include "builder/exportprogram.h"
#include "app/layoutscreen.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScroller>

namespace {

using quill::SystemControl;

QLabel *makeBoldLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = quill::named(new QLabel(text, parent), name, text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// An edit named after the label that stands before it.
QLineEdit *makeField(QWidget *parent, const char *name, QLabel *label)
{
    QLineEdit *edit = quill::makeLineEdit(parent, name, label->text());
    label->setBuddy(edit);
    return edit;
}

} // namespace

void TfrmMain::createSystemPage(QWidget *page)
{
    using quill::makeButton;
    // The controls stand at fixed places on a sheet; where the page is
    // smaller than the sheet, the sheet scrolls.
    systemPage_.scroller = quill::named(new QScrollArea(page), "sclSystem", QStringLiteral("System settings"));
    systemPage_.scroller->setFrameShape(QFrame::NoFrame);
    systemPage_.scroller->setFocusPolicy(Qt::NoFocus);
    systemPage_.scroller->setWidgetResizable(true);
    systemPage_.sheet = new QWidget;
    systemPage_.scroller->setWidget(systemPage_.sheet);
    QScroller::grabGesture(systemPage_.scroller->viewport(), QScroller::TouchGesture);
    QWidget *sheet = systemPage_.sheet;

    QLabel *widthLabel = makeBoldLabel(sheet, "Label2", QStringLiteral("Width"));
    systemPage_.edtWidth = makeField(sheet, "edtWidth", widthLabel);
    QLabel *keyHeightLabel = makeBoldLabel(sheet, "Label4", QStringLiteral("Buttons height(CODE)"));
    systemPage_.edtKeyHeight = makeField(sheet, "edtKeyHeight", keyHeightLabel);
    QLabel *commandLabel = makeBoldLabel(sheet, "Label5", QStringLiteral("Buttons height(SPRITE)"));
    systemPage_.edtCommand = makeField(sheet, "edtCommand", commandLabel);
    QLabel *spriteLabel = makeBoldLabel(sheet, "Label3", QStringLiteral("Sprite size"));
    systemPage_.edtSpriteSize = makeField(sheet, "edtSpriteSize", spriteLabel);
    QLabel *exportLabel = makeBoldLabel(sheet, "Label1", QStringLiteral("Export directory"));
    systemPage_.edtOpenmsxdir = makeField(sheet, "edtOpenmsxdir", exportLabel);

    systemPage_.btDefault = makeButton(sheet, "btDefault", QStringLiteral("Default"));
    systemPage_.btApply = makeButton(sheet, "btApply", QStringLiteral("Apply settings"));
    systemPage_.chkGfx9000 = quill::named(new QCheckBox(QStringLiteral("Use web browser"), sheet), "chkGfx9000",
                              QStringLiteral("Use web browser"));
    systemPage_.chkGfx9000->setFocusPolicy(Qt::NoFocus);
    systemPage_.chkGfx9000->hide();
    systemPage_.btExport = makeButton(sheet, "btExport", QStringLiteral("Export"));
    systemPage_.btWebsite = makeButton(sheet, "btWebsite", QStringLiteral("Website"));
    systemPage_.btQuit = makeButton(sheet, "btQuit", QStringLiteral("Quit"));
    systemPage_.placed = {widthLabel, systemPage_.edtWidth, keyHeightLabel, systemPage_.edtKeyHeight,
                          commandLabel, systemPage_.edtCommand, spriteLabel, systemPage_.edtSpriteSize,
                          exportLabel, systemPage_.edtOpenmsxdir, systemPage_.btDefault, systemPage_.btApply,
                          systemPage_.chkGfx9000, systemPage_.btExport, systemPage_.btWebsite, systemPage_.btQuit};
    wire(systemPage_.btApply, &QPushButton::clicked, &TfrmMain::btApplyClick);
    wire(systemPage_.btDefault, &QPushButton::clicked, &TfrmMain::btDefaultClick);
    wire(systemPage_.btWebsite, &QPushButton::clicked, &TfrmMain::btWebsiteClick);
    wire(systemPage_.btExport, &QPushButton::clicked, &TfrmMain::btExportClick);
    wire(systemPage_.btQuit, &QPushButton::clicked, &TfrmMain::btQuitClick);

    QWidget *const focusOrder[] = {systemPage_.edtWidth, systemPage_.edtKeyHeight, systemPage_.edtCommand, systemPage_.edtSpriteSize, systemPage_.edtOpenmsxdir,
                                   systemPage_.btDefault, systemPage_.btApply, systemPage_.btExport, systemPage_.btWebsite, systemPage_.btQuit};
    for (std::size_t index = 1; index < std::size(focusOrder); ++index)
        setTabOrder(focusOrder[index - 1], focusOrder[index]);
}

void TfrmMain::layoutSystemPage()
{
    for (int index = 0; index < quill::SystemControlCount; ++index)
        systemPage_.placed[index]->setGeometry(layout_.systemControls[index]);
    systemPage_.scroller->setGeometry(0, 0, layout_.pageWidth, layout_.pageHeight);
    // The sheet fills the page, and is never smaller than its controls need.
    systemPage_.sheet->setMinimumSize(layout_.systemExtent);
}

void TfrmMain::LoadSystemPage()
{
    const quill::SystemFields fields = quill::loadSystemFields(Settings);
    systemPage_.edtOpenmsxdir->setText(fields.exportDir);
    systemPage_.edtWidth->setText(fields.width);
    systemPage_.edtKeyHeight->setText(fields.keyHeight);
    systemPage_.edtCommand->setText(fields.command);
    systemPage_.chkGfx9000->setChecked(fields.useWebBrowser);
    systemPage_.edtSpriteSize->setText(fields.spriteSize);
}

quill::SystemFields TfrmMain::systemFields() const
{
    return {systemPage_.edtWidth->text(),      systemPage_.edtKeyHeight->text(),
            systemPage_.edtCommand->text(),    systemPage_.edtSpriteSize->text(),
            systemPage_.edtOpenmsxdir->text(), systemPage_.chkGfx9000->isChecked()};
}

quill::SystemPageEffects TfrmMain::systemPageEffects()
{
    return {[this](int size) { resizeSprite(size); },
            [this] { ShiftState = false; }, [this] { LoadSystemPage(); },
            [this] { LayoutScreen(); }};
}

void TfrmMain::btApplyClick()
{
    quill::applySystemFields(systemFields(), Settings, SpriteSize, systemPageEffects(), *messages_);
}

void TfrmMain::btDefaultClick()
{
    quill::restoreDefaults({paths_, Settings, Keywords, quill::keyPanelWidth(width()),
                            quill::documentsFolder(), quill::stateFolder() + QStringLiteral("kept/")},
                           SpriteSize, systemPageEffects(), *messages_);
}

void TfrmMain::btWebsiteClick()
{
    quill::ShellOpen(quill::writeAboutPage(paths_));
}

void TfrmMain::btExportClick()
{
    // The folder applied to the settings, not the one typed in the field.
    const QString documents = quill::documentsFolder();
    quill::exportCode(program_.lines(), codePage_.edtFile->text(), paths_,
                      quill::exportFolder(Settings, documents), documents, *messages_);
}
