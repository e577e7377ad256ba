// The Code page: its file menu, the code view, the code file chooser, the
// on-screen keyboard and the hardware keyboard.
#include "app/ammain.h"

#include "base/controls/controls.h"
#include "base/filelist.h"
#include "builder/runview.h"
#include "editor/codeview.h"
#include "editor/picklist.h"
#include "editor/keybutton.h"
#include "editor/keycaptions.h"

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

void TfrmMain::createCodePage(QWidget *page)
{
    using quill::makeButton;
    Code.pnlBasMenu = quill::makePanel(page, "pnlBasMenu", QStringLiteral("Code menu"));
    Code.btTextNew = makeButton(Code.pnlBasMenu, "btTextNew", QStringLiteral("New"));
    Code.btTextOpen = makeButton(Code.pnlBasMenu, "btTextOpen", QStringLiteral("Open"));
    Code.btTextSave = makeButton(Code.pnlBasMenu, "btTextSave", QStringLiteral("Save"));
    Code.edtFile = quill::named(new QLineEdit(Code.pnlBasMenu), "edtFile", QStringLiteral("File name"));
    Code.btRun = makeButton(Code.pnlBasMenu, "btRun", QStringLiteral("Run"));

    Code.pntProg = quill::named(new quill::CodeView(page), "pntProg", QStringLiteral("Code view"));
    Code.imgFonts = quill::named(new QLabel(Code.pntProg), "imgFonts", QStringLiteral("Font image"));
    Code.imgFonts->hide();
    const QImage fontSheet(QStringLiteral(":/program/fontsheet.png"));
    Code.imgFonts->setPixmap(QPixmap::fromImage(fontSheet));
    Code.pntProg->setFontSheet(fontSheet);
    Code.pntProg->setBuffer(&Program);

    Code.files = quill::makeFileChooser(
        page, {"pnlBasfiles", "lstBasfiles", "btTextOk", "btTextCancel", "btTextDelete"},
        QStringLiteral("Code file chooser"), QStringLiteral("Code files"));

    Code.pnlKeys = quill::makePanel(page, "pnlKeys", QStringLiteral("Keyboard"));

    wire(Code.btTextNew, &QPushButton::clicked, &TfrmMain::btTextNewClick);
    wire(Code.btTextOpen, &QPushButton::clicked, &TfrmMain::btTextOpenClick);
    wire(Code.btTextSave, &QPushButton::clicked, &TfrmMain::btTextSaveClick);
    wire(Code.files.ok, &QPushButton::clicked, &TfrmMain::btTextOkClick);
    wire(Code.files.cancel, &QPushButton::clicked, &TfrmMain::btTextCancelClick);
    wire(Code.pntProg, &quill::CodeView::mousePressed, &TfrmMain::pntProgMouseDown);
    wire(Code.pntProg, &quill::CodeView::mouseDragged, &TfrmMain::pntProgMouseMove);
    wire(Code.pntProg, &quill::CodeView::mouseReleased, &TfrmMain::pntProgMouseUp);
}

void TfrmMain::createKeyButtons()
{
    // Row-major, so KeyButtons[row * 10 + column] is the key at row, column.
    for (int index = 0; index < quill::KeyCount; ++index) {
        auto *key = new quill::KeyButton(Code.pnlKeys);
        key->setObjectName(QStringLiteral("KeyButton%1").arg(index));
        wire(key, &quill::KeyButton::keyClicked, &TfrmMain::RunKeyCommand);
        Code.KeyButtons[index] = key;
    }
}

void TfrmMain::layoutCodePage(const std::array<QString, quill::KeyCount> &captions)
{
    Code.pnlBasMenu->setGeometry(0, 0, Layout.pageWidth, quill::MenuBarHeight);
    Code.btTextNew->setGeometry(Layout.newButton);
    Code.btTextOpen->setGeometry(Layout.openButton);
    Code.btTextSave->setGeometry(Layout.saveButton);
    Code.edtFile->setGeometry(Layout.fileEdit);
    Code.btRun->setGeometry(Layout.runButton);

    Code.pntProg->setGeometry(Layout.codeView);
    Code.pntProg->setCellSize(Layout.cellSize);
    Program.setViewSize(Layout.visibleColumns, Layout.visibleLines);
    quill::layoutFileChooser(Code.files, Layout.codeView);

    Code.pnlKeys->setGeometry(Layout.keyPanel);
    for (int index = 0; index < quill::KeyCount; ++index) {
        quill::KeyButton *key = Code.KeyButtons[index];
        key->setCaption(captions[index]);
        key->setGeometry(Layout.keys[index].geometry);
        key->setVisible(Layout.keys[index].visible);
    }
}

// ---- key commands -------------------------------------------------------------

void TfrmMain::RunKeyCommand(const QString &caption)
{
    Commands.RunKeyCommand(caption);
    Code.pntProg->update();
}

void TfrmMain::CaptionKeys(int layer)
{
    const auto captions = quill::KeyCaptions(Settings).captionKeys(layer, ShiftState);
    for (int index = 0; index < quill::KeyCount; ++index)
        Code.KeyButtons[index]->setCaption(captions[index]);
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
    quill::tapCodeView(Program, x, y, Layout.cellSize);
    Code.pntProg->update();
}

void TfrmMain::pntProgMouseMove(Qt::KeyboardModifiers, double x, double y)
{
    if (Drag.move(Program, x, y, Layout.cellSize))
        Code.pntProg->update();
}

void TfrmMain::pntProgMouseUp()
{
    Drag.release();
}

// ---- the hardware keyboard -------------------------------------------------

bool TfrmMain::codeTakesKeys() const
{
    return TabControl1->currentWidget() == TabItem1 && Code.pntProg->isVisible() && !RunView->isVisible()
        && !qobject_cast<QLineEdit *>(QApplication::focusWidget());
}

void TfrmMain::FormKeyDown(int key, const QString &text, Qt::KeyboardModifiers shift)
{
    if (!codeTakesKeys())
        return;
    Shortcuts.keyPressed(key, shift);
    if (const std::optional<QString> caption = quill::keyDownCaption(key, text, shift))
        RunKeyCommand(*caption);
}

void TfrmMain::FormKeyUp(int key, Qt::KeyboardModifiers, bool autoRepeat)
{
    // Every release ends its combination, even one the code does not take.
    const std::optional<quill::Shortcut> shortcut = Shortcuts.keyReleased(key, autoRepeat);
    if (!shortcut || !codeTakesKeys())
        return;
    switch (shortcut->kind) {
    case quill::Shortcut::Kind::Command:
        RunKeyCommand(shortcut->caption);
        return;
    case quill::Shortcut::Kind::Undo:
        Program.undo();
        break;
    case quill::Shortcut::Kind::Redo:
        Program.redo();
        break;
    }
    Code.pntProg->update();
}

void TfrmMain::keyPressEvent(QKeyEvent *event)
{
    quill::runHandler(*Messages, [&] { FormKeyDown(event->key(), event->text(), event->modifiers()); });
    QWidget::keyPressEvent(event);
}

void TfrmMain::keyReleaseEvent(QKeyEvent *event)
{
    quill::runHandler(*Messages,
                      [&] { FormKeyUp(event->key(), event->modifiers(), event->isAutoRepeat()); });
    QWidget::keyReleaseEvent(event);
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // When the program shows the window, the keys of a hardware keyboard go
    // to the code, not to the first edit of the focus chain.
    if (!event->spontaneous() && TabControl1->currentWidget() == TabItem1 && Code.pntProg->isVisible())
        Code.pntProg->setFocus();
}

bool TfrmMain::focusNextPrevChild(bool next)
{
    // Tab pressed in the code passes through every parent on its way here;
    // none of them may move the focus out of the code.
    if (QApplication::focusWidget() == Code.pntProg)
        return false;
    return QWidget::focusNextPrevChild(next);
}

void TfrmMain::TabControl1Change(int)
{
    // Back on the Code page, the keys go to the code again.
    if (TabControl1->currentWidget() == TabItem1 && Code.pntProg->isVisible())
        Code.pntProg->setFocus();
}

// ---- code files -------------------------------------------------------------------

void TfrmMain::btTextNewClick()
{
    Code.edtFile->clear();
    Program.NewProgram();
    Program.setCursor(0, 0);
    Program.setScroll(0, 0);
    Code.pntProg->update();
}

void TfrmMain::btTextOpenClick()
{
    Code.pntProg->hide();
    Code.pnlKeys->hide();
    quill::setListItems(Code.files.list, quill::ListFiles(Paths.codeDir));
    Code.files.panel->show();
}

void TfrmMain::btTextOkClick()
{
    const QListWidgetItem *item = Code.files.list->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString name = item->text();
    const std::optional<QString> warning = ProgramFiles.open(name, Program);
    Code.edtFile->setText(name);
    btTextCancelClick();
    if (warning)
        Messages->showMessage(*warning);
}

void TfrmMain::btTextCancelClick()
{
    Code.files.panel->hide();
    Code.pnlKeys->show();
    Code.pntProg->show();
    Code.pntProg->setFocus();
    Code.pntProg->update();
}

void TfrmMain::btTextSaveClick()
{
    Messages->showMessage(ProgramFiles.save(Code.edtFile->text(), Program));
}
