#include "app/systempage.h"

#include "base/controls/controls.h"
#include "app/aboutpage.h"
#include "base/settingstable.h"
#include "app/handlerboundary.h"
#include "app/shellopen.h"
#include "app/systemfields.h"
#include "builder/exportprogram.h"
#include "editor/codebuffer.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScroller>

namespace quill {

namespace {

QLabel *makeBoldLabel(QWidget *parent, const char *name, const QString &text)
{
    auto *label = named(new QLabel(text, parent), name, text);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// An edit named after the label that stands before it.
QLineEdit *makeField(QWidget *parent, const char *name, QLabel *label)
{
    QLineEdit *edit = makeLineEdit(parent, name, label->text());
    label->setBuddy(edit);
    return edit;
}

} // namespace

SystemPage::SystemPage(SettingsStore &settings, QStringList &keywords, const WorkspacePaths &paths,
                       const CodeBuffer &program, SystemPageCrossings crossings, Handlers &handlers,
                       QWidget *parent)
    : QWidget(parent), Settings(settings), Keywords(keywords), paths_(paths), program_(program),
      crossings_(std::move(crossings)), handlers_(handlers)
{
    named(this, "TabItem4", QStringLiteral("System page"));
    // The controls stand at fixed places on a sheet; where the page is
    // smaller than the sheet, the sheet scrolls.
    scroller_ = named(new QScrollArea(this), "sclSystem", QStringLiteral("System settings"));
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setFocusPolicy(Qt::NoFocus);
    scroller_->setWidgetResizable(true);
    sheet_ = new QWidget;
    scroller_->setWidget(sheet_);
    QScroller::grabGesture(scroller_->viewport(), QScroller::TouchGesture);

    QLabel *widthLabel = makeBoldLabel(sheet_, "Label2", QStringLiteral("Width"));
    edtWidth = makeField(sheet_, "edtWidth", widthLabel);
    QLabel *keyHeightLabel = makeBoldLabel(sheet_, "Label4", QStringLiteral("Buttons height(CODE)"));
    edtKeyHeight = makeField(sheet_, "edtKeyHeight", keyHeightLabel);
    QLabel *commandLabel = makeBoldLabel(sheet_, "Label5", QStringLiteral("Buttons height(SPRITE)"));
    edtCommand = makeField(sheet_, "edtCommand", commandLabel);
    QLabel *spriteLabel = makeBoldLabel(sheet_, "Label3", QStringLiteral("Sprite size"));
    edtSpriteSize = makeField(sheet_, "edtSpriteSize", spriteLabel);
    QLabel *exportLabel = makeBoldLabel(sheet_, "Label1", QStringLiteral("Export directory"));
    edtOpenmsxdir = makeField(sheet_, "edtOpenmsxdir", exportLabel);

    btDefault = makeButton(sheet_, "btDefault", QStringLiteral("Default"));
    btApply = makeButton(sheet_, "btApply", QStringLiteral("Apply settings"));
    chkGfx9000 = named(new QCheckBox(QStringLiteral("Use web browser"), sheet_), "chkGfx9000",
                       QStringLiteral("Use web browser"));
    chkGfx9000->setFocusPolicy(Qt::NoFocus);
    chkGfx9000->hide();
    btExport = makeButton(sheet_, "btExport", QStringLiteral("Export"));
    btWebsite = makeButton(sheet_, "btWebsite", QStringLiteral("Website"));
    btQuit = makeButton(sheet_, "btQuit", QStringLiteral("Quit"));
    placed_ = {widthLabel,  edtWidth,      keyHeightLabel, edtKeyHeight,  commandLabel, edtCommand,
               spriteLabel, edtSpriteSize, exportLabel,    edtOpenmsxdir, btDefault,    btApply,
               chkGfx9000,  btExport,      btWebsite,      btQuit};
    handlers_.wire(btApply, &QPushButton::clicked, [this] { btApplyClick(); });
    handlers_.wire(btDefault, &QPushButton::clicked, [this] { btDefaultClick(); });
    handlers_.wire(btWebsite, &QPushButton::clicked, [this] { btWebsiteClick(); });
    handlers_.wire(btExport, &QPushButton::clicked, [this] { btExportClick(); });
    handlers_.wire(btQuit, &QPushButton::clicked, [this] { btQuitClick(); });

    QWidget *const focusOrder[] = {edtWidth,  edtKeyHeight, edtCommand, edtSpriteSize, edtOpenmsxdir,
                                   btDefault, btApply,      btExport,   btWebsite,     btQuit};
    for (std::size_t index = 1; index < std::size(focusOrder); ++index)
        setTabOrder(focusOrder[index - 1], focusOrder[index]);
}

void SystemPage::layoutPage(const LayoutResult &layout)
{
    for (int index = 0; index < SystemControlCount; ++index)
        placed_[index]->setGeometry(layout.systemControls[index]);
    scroller_->setGeometry(0, 0, layout.pageWidth, layout.pageHeight);
    // The sheet fills the page, and is never smaller than its controls need.
    sheet_->setMinimumSize(layout.systemExtent);
}

void SystemPage::LoadSystemPage()
{
    const SystemFields fields = loadSystemFields(Settings);
    edtOpenmsxdir->setText(fields.exportDir);
    edtWidth->setText(fields.width);
    edtKeyHeight->setText(fields.keyHeight);
    edtCommand->setText(fields.command);
    chkGfx9000->setChecked(fields.useWebBrowser);
    edtSpriteSize->setText(fields.spriteSize);
}

SystemFields SystemPage::systemFields() const
{
    return {edtWidth->text(),      edtKeyHeight->text(),  edtCommand->text(),
            edtSpriteSize->text(), edtOpenmsxdir->text(), chkGfx9000->isChecked()};
}

SystemPageEffects SystemPage::systemPageEffects()
{
    return {crossings_.resizeSprite, crossings_.unshift, [this] { LoadSystemPage(); }, crossings_.layoutScreen};
}

void SystemPage::btApplyClick()
{
    applySystemFields(systemFields(), Settings, crossings_.spriteSize(), systemPageEffects(), handlers_.messages());
}

void SystemPage::btDefaultClick()
{
    restoreDefaults({paths_, Settings, Keywords, crossings_.keyPanelWidth(), documentsFolder(),
                     stateFolder() + QStringLiteral("kept/")},
                    crossings_.spriteSize(), systemPageEffects(), handlers_.messages());
}

void SystemPage::btWebsiteClick()
{
    ShellOpen(writeAboutPage(paths_));
}

void SystemPage::btExportClick()
{
    // The folder applied to the settings, not the one typed in the field.
    const QString documents = documentsFolder();
    exportCode(program_.lines(), program_.identity().name, paths_, exportFolder(Settings, documents), documents,
               handlers_.messages());
}

void SystemPage::btQuitClick()
{
    crossings_.quit();
}

} // namespace quill
