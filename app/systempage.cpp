// The System page: the layout and export settings, Default, Apply, Export,
// Website and Quit, all at fixed places.
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

namespace {

QLabel *makeBoldLabel(QWidget *parent, const char *name, const QString &text, const QRect &place)
{
    auto *label = quill::named(new QLabel(text, parent), name, text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setGeometry(place);
    return label;
}

// An edit named after the label that stands before it.
QLineEdit *makeField(QWidget *parent, const char *name, QLabel *label, const QRect &place)
{
    auto *edit = quill::named(new QLineEdit(parent), name, label->text());
    edit->setGeometry(place);
    label->setBuddy(edit);
    return edit;
}

constexpr int DesignExportDirWidth = 345;

} // namespace

void TfrmMain::createSystemPage(QWidget *page)
{
    using quill::makeButton;
    QLabel *widthLabel = makeBoldLabel(page, "Label2", QStringLiteral("Width"), {20, 10, 66, 23});
    systemPage_.edtWidth = makeField(page, "edtWidth", widthLabel, {244, 5, 69, 32});
    QLabel *keyHeightLabel =
        makeBoldLabel(page, "Label4", QStringLiteral("Buttons height(CODE)"), {20, 45, 189, 23});
    systemPage_.edtKeyHeight = makeField(page, "edtKeyHeight", keyHeightLabel, {244, 40, 69, 32});
    QLabel *commandLabel =
        makeBoldLabel(page, "Label5", QStringLiteral("Buttons height(SPRITE)"), {20, 79, 199, 23});
    systemPage_.edtCommand = makeField(page, "edtCommand", commandLabel, {244, 75, 69, 32});
    QLabel *spriteLabel = makeBoldLabel(page, "Label3", QStringLiteral("Sprite size"), {20, 113, 93, 23});
    systemPage_.edtSpriteSize = makeField(page, "edtSpriteSize", spriteLabel, {244, 110, 69, 32});
    QLabel *exportLabel =
        makeBoldLabel(page, "Label1", QStringLiteral("Export directory"), {19, 144, 189, 23});
    systemPage_.edtOpenmsxdir = makeField(page, "edtOpenmsxdir", exportLabel, {7, 170, DesignExportDirWidth, 32});

    systemPage_.btDefault = makeButton(page, "btDefault", QStringLiteral("Default"), 24, 226, 113, 44);
    systemPage_.btApply = makeButton(page, "btApply", QStringLiteral("Apply settings"), 208, 226, 145, 44);
    systemPage_.chkGfx9000 = quill::named(new QCheckBox(QStringLiteral("Use web browser"), page), "chkGfx9000",
                              QStringLiteral("Use web browser"));
    systemPage_.chkGfx9000->setGeometry(8, 247, 337, 19);
    systemPage_.chkGfx9000->setFocusPolicy(Qt::NoFocus);
    systemPage_.chkGfx9000->hide();
    systemPage_.btExport = makeButton(page, "btExport", QStringLiteral("Export"), 208, 288, 145, 44);
    systemPage_.btWebsite = makeButton(page, "btWebsite", QStringLiteral("Website"), 208, 350, 145, 44);
    systemPage_.btQuit = makeButton(page, "btQuit", QStringLiteral("Quit"), 209, 457, 145, 44);
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
    const QRect place = systemPage_.edtOpenmsxdir->geometry();
    systemPage_.edtOpenmsxdir->setGeometry(place.left(), place.top(), layout_.exportDirWidth, place.height());
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
