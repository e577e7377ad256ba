#include "app/codepage.h"

#include "base/filelist.h"
#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "app/filemenu.h"
#include "app/handlerboundary.h"
#include "editor/codebuffer.h"
#include "editor/codeview.h"
#include "editor/keybutton.h"
#include "editor/keycaptions.h"
#include "editor/keypanel.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>

namespace quill {

CodePage::CodePage(CodeBuffer &program, const SettingsStore &settings, const WorkspacePaths &paths,
                   CodePageCrossings crossings, Handlers &handlers, QWidget *parent)
    : QWidget(parent), program_(program), Settings(settings), crossings_(std::move(crossings)),
      handlers_(handlers), commands_(program, *this, *this), choices_(program, *this, *this),
      programFiles_(paths.codeDir)
{
    named(this, "TabItem1", QStringLiteral("Code page"));
    commands_.setChoiceCommands(&choices_);
    choices_.setSources({paths.templateDir, paths.imageDir, paths.audioDir});

    pnlBasMenu = makePanel(this, "pnlBasMenu", QStringLiteral("Code menu"));
    btTextNew = makeButton(pnlBasMenu, "btTextNew", QStringLiteral("New"));
    btTextOpen = makeButton(pnlBasMenu, "btTextOpen", QStringLiteral("Open"));
    btTextSave = makeButton(pnlBasMenu, "btTextSave", QStringLiteral("Save"));
    edtFile = makeLineEdit(pnlBasMenu, "edtFile", QStringLiteral("File name"));
    // The name field takes the keys only from a tap, never on its way
    // through the focus chain.
    edtFile->setFocusPolicy(Qt::ClickFocus);
    btRun = makeButton(pnlBasMenu, "btRun", QStringLiteral("Run"));
    // Checked while the keys show; assistive technology reads it as a switch.
    btKeys = makeButton(pnlBasMenu, "btKeys", QStringLiteral("Keys"));
    btKeys->setAccessibleName(QStringLiteral("On-screen keyboard"));
    btKeys->setCheckable(true);
    btKeys->hide();

    pntProg = named(new CodeView(this), "pntProg", QStringLiteral("Code view"));
    imgFonts = named(new QLabel(pntProg), "imgFonts", QStringLiteral("Font image"));
    imgFonts->hide();
    const QImage fontSheet(QStringLiteral(":/program/fontsheet.png"));
    imgFonts->setPixmap(QPixmap::fromImage(fontSheet));
    pntProg->setFontSheet(fontSheet);
    pntProg->setBuffer(&program_);

    files_ = makeFileChooser(this, {"pnlBasfiles", "lstBasfiles", "btTextOk", "btTextCancel", "btTextDelete"},
                             QStringLiteral("Code file chooser"), QStringLiteral("Code files"));

    pnlKeys = named(new KeyPanel(this), "pnlKeys", QStringLiteral("Keyboard"));
    // Row-major, so KeyButtons[row * 10 + column] is the key at row, column.
    for (int index = 0; index < KeyCount; ++index) {
        auto *key = new KeyButton(pnlKeys);
        key->setObjectName(QStringLiteral("KeyButton%1").arg(index));
        handlers_.wire(key, &KeyButton::keyClicked, this, &CodePage::keyTapped);
        KeyButtons[index] = key;
    }

    handlers_.wire(edtFile, &QLineEdit::textChanged, this, &CodePage::edtFileChange);
    handlers_.wire(btTextNew, &QPushButton::clicked, [this] { btTextNewClick(); });
    handlers_.wire(btTextOpen, &QPushButton::clicked, [this] { btTextOpenClick(); });
    handlers_.wire(btTextSave, &QPushButton::clicked, [this] { btTextSaveClick(); });
    handlers_.wire(btRun, &QPushButton::clicked, [this] { crossings_.run(); });
    handlers_.wire(btKeys, &QPushButton::clicked, [this] { btKeysClick(); });
    handlers_.wire(files_.ok, &QPushButton::clicked, [this] { btTextOkClick(); });
    handlers_.wire(files_.cancel, &QPushButton::clicked, [this] { btTextCancelClick(); });
    handlers_.wire(files_.list, &QListWidget::itemDoubleClicked, [this] { btTextOkClick(); });
    handlers_.wire(pntProg, &CodeView::mousePressed, this, &CodePage::pntProgMouseDown);
    handlers_.wire(pntProg, &CodeView::mouseDragged, this, &CodePage::pntProgMouseMove);
    handlers_.wire(pntProg, &CodeView::mouseReleased, this, &CodePage::pntProgMouseUp);
    handlers_.wire(pntProg, &CodeView::wheelTurned, this, &CodePage::pntProgMouseWheel);
}

void CodePage::layoutPage(const LayoutResult &layout, const std::array<QString, KeyCount> &captions)
{
    layout_ = layout;
    layoutFileMenu(layout, pnlBasMenu, btTextNew, btTextOpen, btTextSave, edtFile);
    btRun->setGeometry(layout.runButton);
    btKeys->setGeometry(layout.keyboardToggle);
    btKeys->setVisible(layout.landscape);
    btKeys->setChecked(layout.keyboardShown);

    pntProg->setGeometry(layout.codeView);
    pntProg->setCellSize(layout.cellSize);
    program_.setViewSize(layout.visibleColumns, layout.visibleLines);
    layoutFileChooser(files_, layout.codeChooser, layout.listsFitNames);

    pnlKeys->setGeometry(layout.keyPanel);
    pnlKeys->setVisible(layout.keyboardShown && !files_.panel->isVisibleTo(this));
    for (int index = 0; index < KeyCount; ++index) {
        KeyButton *key = KeyButtons[index];
        key->setCaption(captions[index]);
        key->setGeometry(layout.keys[index].geometry);
        key->setVisible(layout.keys[index].visible);
    }
}

// ---- keys ---------------------------------------------------------------------

void CodePage::RunKeyCommand(const QString &caption)
{
    commands_.RunKeyCommand(caption);
}

void CodePage::keyTapped(const QString &caption)
{
    if (!crossings_.typeIntoField(caption))
        RunKeyCommand(caption);
}

void CodePage::CaptionKeys(int layer)
{
    const auto captions = KeyCaptions(Settings).captionKeys(layer, ShiftState);
    for (int index = 0; index < KeyCount; ++index)
        KeyButtons[index]->setCaption(captions[index]);
}

void CodePage::setShiftState(bool shifted)
{
    ShiftState = shifted;
    CaptionKeys(shifted ? 2 : 1);
}

bool CodePage::codeViewShowing() const
{
    return pntProg->isVisible() && !crossings_.overlayShowing();
}

bool CodePage::codeTakesKeys() const
{
    return codeViewShowing() && !qobject_cast<QLineEdit *>(QApplication::focusWidget());
}

void CodePage::giveCodeTheKeys()
{
    // A widget that hides while it has the focus hands it to the next one
    // that takes Tab, and the web view takes it when a page shows: neither
    // may leave the keys in the name field.
    if (codeViewShowing())
        pntProg->setFocus(Qt::OtherFocusReason);
}

void CodePage::keyDown(int key, const QString &text, Qt::KeyboardModifiers modifiers, bool autoRepeat,
                       unsigned long timestamp)
{
    if (!codeTakesKeys())
        return;
    shortcuts_.keyPressed(key, modifiers, autoRepeat, timestamp);
    if (const std::optional<QString> caption = keyDownCaption(key, text, modifiers))
        RunKeyCommand(*caption);
}

void CodePage::keyUp(int key, bool autoRepeat, unsigned long timestamp)
{
    // Every release ends its combination, even one the code does not take.
    const std::optional<Shortcut> shortcut = shortcuts_.keyReleased(key, autoRepeat, timestamp);
    if (!shortcut || !codeTakesKeys())
        return;
    switch (shortcut->kind) {
    case Shortcut::Kind::Command:
        RunKeyCommand(shortcut->caption);
        return;
    case Shortcut::Kind::Undo:
        program_.undo();
        break;
    case Shortcut::Kind::Redo:
        program_.redo();
        break;
    }
    // Undoing a New or an Open brings back the name as well.
    showFileName();
}

// ---- what the commands reach outside the text ----------------------------------

void CodePage::offerChoices(PickMode mode, const QStringList &items)
{
    crossings_.offerChoices(mode, items);
}

QString CodePage::clipboardText() const
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}

void CodePage::setClipboardText(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

QStringList CodePage::keywords() const
{
    return crossings_.keywords();
}

int CodePage::spriteSize() const
{
    return crossings_.spriteSize();
}

WindowState::Mode CodePage::windowMode() const
{
    const Qt::WindowStates state = window()->windowState();
    if (state & Qt::WindowMinimized)
        return Mode::Minimized;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return Mode::Maximized;
    return Mode::Normal;
}

void CodePage::setWindowMode(Mode mode)
{
    window()->setWindowState(mode == Mode::Maximized ? Qt::WindowMaximized : Qt::WindowNoState);
}

void CodePage::choose(PickMode mode, int index, const QString &item)
{
    choices_.choose(mode, index, item);
}

void CodePage::goToProgramLine(int line)
{
    program_.setSelectionActive(false);
    program_.setCursor(std::min(line, program_.lineCount() - 1), 0);
    program_.ScrollToCursor();
}

// ---- the code view ------------------------------------------------------------

void CodePage::pntProgMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y)
{
    tapCodeView(program_, x, y, layout_.cellSize);
}

void CodePage::pntProgMouseMove(Qt::KeyboardModifiers, double x, double y)
{
    drag_.move(program_, x, y, layout_.cellSize);
}

void CodePage::pntProgMouseUp()
{
    drag_.release();
}

void CodePage::pntProgMouseWheel(QPoint angleDelta, Qt::KeyboardModifiers shift)
{
    wheel_.turn(program_, angleDelta, shift.testFlag(Qt::ShiftModifier));
}

// ---- code files -------------------------------------------------------------------

void CodePage::btTextNewClick()
{
    // One undo step: Ctrl+Z brings back the text and its name, still unsaved.
    program_.replaceDocument(CodeBuffer::newProgramLines(), {QString(), QString(), program_.identity().encoding});
    showFileName();
    giveCodeTheKeys();
}

void CodePage::showFileName()
{
    if (edtFile->text() != program_.identity().name)
        edtFile->setText(program_.identity().name);
}

void CodePage::edtFileChange(const QString &text)
{
    program_.setFileName(text);
}

void CodePage::btTextOpenClick()
{
    setListItems(files_.list, ListFiles(programFiles_.codeDir()));
    showCodeChooser(true);
}

void CodePage::showCodeChooser(bool choosing)
{
    pntProg->setVisible(!choosing);
    pnlKeys->setVisible(!choosing && layout_.keyboardShown);
    if (choosing)
        layoutFileChooser(files_, layout_.codeChooser, layout_.listsFitNames);
    files_.panel->setVisible(choosing);
}

bool CodePage::closeChooser()
{
    return cancelFileChooser(files_);
}

void CodePage::btKeysClick()
{
    crossings_.toggleKeyboard();
    giveCodeTheKeys();
}

void CodePage::btTextOkClick()
{
    const QListWidgetItem *item = files_.list->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString name = item->text();
    const std::optional<QString> warning = programFiles_.open(name, program_);
    showFileName();
    btTextCancelClick();
    if (warning)
        handlers_.messages().showMessage(*warning);
}

void CodePage::btTextCancelClick()
{
    showCodeChooser(false);
    giveCodeTheKeys();
}

void CodePage::btTextSaveClick()
{
    if (const std::optional<QString> saved = programFiles_.save(edtFile->text(), program_, handlers_.messages())) {
        crossings_.codeSaved();
        handlers_.messages().showMessage(*saved);
    }
    giveCodeTheKeys();
}

} // namespace quill
