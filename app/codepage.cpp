// The Code page: its file menu, the code view, the code file chooser, the
// on-screen keyboard and the hardware keyboard.
#include "app/ammain.h"

#include "base/controls/controls.h"
#include "base/filelist.h"
#include "app/unsavedwork.h"
#include "builder/runview.h"
#include "editor/codeview.h"
#include "editor/picklist.h"
#include "editor/keybutton.h"
#include "editor/keycaptions.h"
#include "editor/keypanel.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QShowEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QWindow>

void TfrmMain::createCodePage(QWidget *page)
{
    using quill::makeButton;
    codePage_.pnlBasMenu = quill::makePanel(page, "pnlBasMenu", QStringLiteral("Code menu"));
    codePage_.btTextNew = makeButton(codePage_.pnlBasMenu, "btTextNew", QStringLiteral("New"));
    codePage_.btTextOpen = makeButton(codePage_.pnlBasMenu, "btTextOpen", QStringLiteral("Open"));
    codePage_.btTextSave = makeButton(codePage_.pnlBasMenu, "btTextSave", QStringLiteral("Save"));
    codePage_.edtFile = quill::makeLineEdit(codePage_.pnlBasMenu, "edtFile", QStringLiteral("File name"));
    // The name field takes the keys only from a tap, never on its way
    // through the focus chain.
    codePage_.edtFile->setFocusPolicy(Qt::ClickFocus);
    codePage_.btRun = makeButton(codePage_.pnlBasMenu, "btRun", QStringLiteral("Run"));
    // Checked while the keys show; assistive technology reads it as a switch.
    codePage_.btKeys = makeButton(codePage_.pnlBasMenu, "btKeys", QStringLiteral("Keys"));
    codePage_.btKeys->setAccessibleName(QStringLiteral("On-screen keyboard"));
    codePage_.btKeys->setCheckable(true);
    codePage_.btKeys->hide();

    codePage_.pntProg = quill::named(new quill::CodeView(page), "pntProg", QStringLiteral("Code view"));
    codePage_.imgFonts = quill::named(new QLabel(codePage_.pntProg), "imgFonts", QStringLiteral("Font image"));
    codePage_.imgFonts->hide();
    const QImage fontSheet(QStringLiteral(":/program/fontsheet.png"));
    codePage_.imgFonts->setPixmap(QPixmap::fromImage(fontSheet));
    codePage_.pntProg->setFontSheet(fontSheet);
    codePage_.pntProg->setBuffer(&program_);

    codePage_.files = quill::makeFileChooser(
        page, {"pnlBasfiles", "lstBasfiles", "btTextOk", "btTextCancel", "btTextDelete"},
        QStringLiteral("Code file chooser"), QStringLiteral("Code files"));

    codePage_.pnlKeys = quill::named(new quill::KeyPanel(page), "pnlKeys", QStringLiteral("Keyboard"));

    wire(codePage_.edtFile, &QLineEdit::textChanged, &TfrmMain::edtFileChange);
    wire(codePage_.btTextNew, &QPushButton::clicked, &TfrmMain::btTextNewClick);
    wire(codePage_.btTextOpen, &QPushButton::clicked, &TfrmMain::btTextOpenClick);
    wire(codePage_.btTextSave, &QPushButton::clicked, &TfrmMain::btTextSaveClick);
    wire(codePage_.btKeys, &QPushButton::clicked, &TfrmMain::btKeysClick);
    wire(codePage_.files.ok, &QPushButton::clicked, &TfrmMain::btTextOkClick);
    wire(codePage_.files.cancel, &QPushButton::clicked, &TfrmMain::btTextCancelClick);
    wire(codePage_.files.list, &QListWidget::itemDoubleClicked, &TfrmMain::btTextOkClick);
    wire(codePage_.pntProg, &quill::CodeView::mousePressed, &TfrmMain::pntProgMouseDown);
    wire(codePage_.pntProg, &quill::CodeView::mouseDragged, &TfrmMain::pntProgMouseMove);
    wire(codePage_.pntProg, &quill::CodeView::mouseReleased, &TfrmMain::pntProgMouseUp);
    wire(codePage_.pntProg, &quill::CodeView::wheelTurned, &TfrmMain::pntProgMouseWheel);
}

void TfrmMain::createKeyButtons()
{
    // Row-major, so KeyButtons[row * 10 + column] is the key at row, column.
    for (int index = 0; index < quill::KeyCount; ++index) {
        auto *key = new quill::KeyButton(codePage_.pnlKeys);
        key->setObjectName(QStringLiteral("KeyButton%1").arg(index));
        wire(key, &quill::KeyButton::keyClicked, &TfrmMain::keyTapped);
        codePage_.KeyButtons[index] = key;
    }
}

void TfrmMain::layoutCodePage(const std::array<QString, quill::KeyCount> &captions)
{
    layoutFileMenu(codePage_.pnlBasMenu, codePage_.btTextNew, codePage_.btTextOpen, codePage_.btTextSave, codePage_.edtFile);
    codePage_.btRun->setGeometry(layout_.runButton);
    codePage_.btKeys->setGeometry(layout_.keyboardToggle);
    codePage_.btKeys->setVisible(layout_.landscape);
    codePage_.btKeys->setChecked(layout_.keyboardShown);

    codePage_.pntProg->setGeometry(layout_.codeView);
    codePage_.pntProg->setCellSize(layout_.cellSize);
    program_.setViewSize(layout_.visibleColumns, layout_.visibleLines);
    quill::layoutFileChooser(codePage_.files, layout_.codeChooser, layout_.listsFitNames);

    codePage_.pnlKeys->setGeometry(layout_.keyPanel);
    codePage_.pnlKeys->setVisible(layout_.keyboardShown && !codePage_.files.panel->isVisibleTo(TabItem1));
    for (int index = 0; index < quill::KeyCount; ++index) {
        quill::KeyButton *key = codePage_.KeyButtons[index];
        key->setCaption(captions[index]);
        key->setGeometry(layout_.keys[index].geometry);
        key->setVisible(layout_.keys[index].visible);
    }
}

// ---- key commands -------------------------------------------------------------

void TfrmMain::RunKeyCommand(const QString &caption)
{
    commands_.RunKeyCommand(caption);
    codePage_.pntProg->update();
    workChanged();
}

void TfrmMain::CaptionKeys(int layer)
{
    const auto captions = quill::KeyCaptions(Settings).captionKeys(layer, ShiftState);
    for (int index = 0; index < quill::KeyCount; ++index)
        codePage_.KeyButtons[index]->setCaption(captions[index]);
}

void TfrmMain::setShiftState(bool shifted)
{
    ShiftState = shifted;
    CaptionKeys(shifted ? 2 : 1);
}

quill::WindowState::Mode TfrmMain::windowMode() const
{
    if (windowState() & Qt::WindowMinimized)
        return Mode::Minimized;
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return Mode::Maximized;
    return Mode::Normal;
}

void TfrmMain::setWindowMode(Mode mode)
{
    setWindowState(mode == Mode::Maximized ? Qt::WindowMaximized : Qt::WindowNoState);
}

// ---- the pick list and the clipboard as the commands see them ------------------

void TfrmMain::offerChoices(quill::PickMode mode, const QStringList &items)
{
    PickList->setItems(items);
    PickList->OpenPickList(mode);
}

QString TfrmMain::clipboardText() const
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}

void TfrmMain::setClipboardText(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

// ---- the code view ------------------------------------------------------------

void TfrmMain::pntProgMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y)
{
    quill::tapCodeView(program_, x, y, layout_.cellSize);
    codePage_.pntProg->update();
}

void TfrmMain::pntProgMouseMove(Qt::KeyboardModifiers, double x, double y)
{
    if (drag_.move(program_, x, y, layout_.cellSize))
        codePage_.pntProg->update();
}

void TfrmMain::pntProgMouseUp()
{
    drag_.release();
}

void TfrmMain::pntProgMouseWheel(QPoint angleDelta, Qt::KeyboardModifiers shift)
{
    if (wheel_.turn(program_, angleDelta, shift.testFlag(Qt::ShiftModifier)))
        codePage_.pntProg->update();
}

// ---- the hardware keyboard -------------------------------------------------

bool TfrmMain::codeViewShowing() const
{
    return TabControl1->currentWidget() == TabItem1 && codePage_.pntProg->isVisible() && !runView_->isVisible();
}

bool TfrmMain::codeTakesKeys() const
{
    return codeViewShowing() && !qobject_cast<QLineEdit *>(QApplication::focusWidget());
}

void TfrmMain::FormKeyDown(int key, const QString &text, Qt::KeyboardModifiers shift, bool autoRepeat,
                           unsigned long timestamp)
{
    if (key == Qt::Key_Escape && closeOnEscape())
        return;
    if (!codeTakesKeys())
        return;
    shortcuts_.keyPressed(key, shift, autoRepeat, timestamp);
    if (const std::optional<QString> caption = quill::keyDownCaption(key, text, shift))
        RunKeyCommand(*caption);
}

void TfrmMain::FormKeyUp(int key, Qt::KeyboardModifiers, bool autoRepeat, unsigned long timestamp)
{
    // Every release ends its combination, even one the code does not take.
    const std::optional<quill::Shortcut> shortcut = shortcuts_.keyReleased(key, autoRepeat, timestamp);
    if (!shortcut || !codeTakesKeys())
        return;
    switch (shortcut->kind) {
    case quill::Shortcut::Kind::Command:
        RunKeyCommand(shortcut->caption);
        return;
    case quill::Shortcut::Kind::Undo:
        program_.undo();
        break;
    case quill::Shortcut::Kind::Redo:
        program_.redo();
        break;
    }
    // Undoing a New or an Open brings back the name as well.
    showFileName();
    codePage_.pntProg->update();
    workChanged();
}

void TfrmMain::keyPressEvent(QKeyEvent *event)
{
    quill::runHandler(*messages_, [&] {
        FormKeyDown(event->key(), event->text(), event->modifiers(), event->isAutoRepeat(),
                    event->timestamp());
    });
    QWidget::keyPressEvent(event);
}

void TfrmMain::keyReleaseEvent(QKeyEvent *event)
{
    quill::runHandler(*messages_, [&] {
        FormKeyUp(event->key(), event->modifiers(), event->isAutoRepeat(), event->timestamp());
    });
    QWidget::keyReleaseEvent(event);
}

void TfrmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Keys let go while another window (a message box) had the keyboard
    // never reach this one: no key counts as held any more.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        shortcuts_.reset();
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // On a screen of another pixel ratio the code cell and the canvas zoom
    // are chosen again.
    if (QWindow *window = windowHandle(); window && !screenWatched_) {
        screenWatched_ = true;
        connect(window, &QWindow::screenChanged, handlers_.get(),
                [this] { quill::runHandler(*messages_, [this] { LayoutScreen(); }); });
    }
    // When the program shows the window, the keys of a hardware keyboard go
    // to the code, not to the first edit of the focus chain.
    if (!event->spontaneous())
        giveCodeTheKeys();
}

bool TfrmMain::focusNextPrevChild(bool next)
{
    // Tab pressed in the code passes through every parent on its way here;
    // none of them may move the focus out of the code.
    if (QApplication::focusWidget() == codePage_.pntProg)
        return false;
    return QWidget::focusNextPrevChild(next);
}

void TfrmMain::TabControl1Change(int)
{
    // Back on the Code page, the keys go to the code again.
    giveCodeTheKeys();
}

void TfrmMain::giveCodeTheKeys()
{
    // A widget that hides while it has the focus hands it to the next one
    // that takes Tab, and the web view takes it when a page shows: neither
    // may leave the keys in the name field.
    if (codeViewShowing())
        codePage_.pntProg->setFocus(Qt::OtherFocusReason);
}

// ---- code files -------------------------------------------------------------------

void TfrmMain::btTextNewClick()
{
    // One undo step: Ctrl+Z brings back the text and its name, still unsaved.
    program_.replaceDocument(quill::CodeBuffer::newProgramLines(),
                             {QString(), QString(), program_.identity().encoding});
    showFileName();
    workChanged();
    codePage_.pntProg->update();
    giveCodeTheKeys();
}

void TfrmMain::showFileName()
{
    if (codePage_.edtFile->text() != program_.identity().name)
        codePage_.edtFile->setText(program_.identity().name);
}

void TfrmMain::edtFileChange(const QString &text)
{
    program_.setFileName(text);
}

void TfrmMain::btTextOpenClick()
{
    quill::setListItems(codePage_.files.list, quill::ListFiles(paths_.codeDir));
    showCodeChooser(true);
}

void TfrmMain::showCodeChooser(bool choosing)
{
    codePage_.pntProg->setVisible(!choosing);
    codePage_.pnlKeys->setVisible(!choosing && layout_.keyboardShown);
    if (choosing)
        quill::layoutFileChooser(codePage_.files, layout_.codeChooser, layout_.listsFitNames);
    codePage_.files.panel->setVisible(choosing);
}

void TfrmMain::btKeysClick()
{
    keyboardHidden_ = !keyboardHidden_;
    keepWindowPlace();
    LayoutScreen();
    giveCodeTheKeys();
}

void TfrmMain::btTextOkClick()
{
    const QListWidgetItem *item = codePage_.files.list->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString name = item->text();
    const std::optional<QString> warning = programFiles_.open(name, program_);
    showFileName();
    btTextCancelClick();
    if (warning)
        messages_->showMessage(*warning);
}

void TfrmMain::btTextCancelClick()
{
    showCodeChooser(false);
    codePage_.pntProg->update();
    giveCodeTheKeys();
}

void TfrmMain::btTextSaveClick()
{
    if (const std::optional<QString> saved = programFiles_.save(codePage_.edtFile->text(), program_, *messages_)) {
        unsavedWork_->codeSaved(program_);
        messages_->showMessage(*saved);
    }
    giveCodeTheKeys();
}
