// The Code page: its file menu, the code view, the code file chooser and the
// on-screen keyboard.
#include "app/ammain.h"

#include "app/base/controls.h"
#include "editor/codeview.h"
#include "editor/keybutton.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

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

    Code.files = quill::makeFileChooser(
        page, {"pnlBasfiles", "lstBasfiles", "btTextOk", "btTextCancel", "btTextDelete"},
        QStringLiteral("Code file chooser"), QStringLiteral("Code files"));

    Code.pnlKeys = quill::makePanel(page, "pnlKeys", QStringLiteral("Keyboard"));
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
    quill::layoutFileChooser(Code.files, Layout.codeView);

    Code.pnlKeys->setGeometry(Layout.keyPanel);
    for (int index = 0; index < quill::KeyCount; ++index) {
        quill::KeyButton *key = Code.KeyButtons[index];
        key->setCaption(captions[index]);
        key->setGeometry(Layout.keys[index].geometry);
        key->setVisible(Layout.keys[index].visible);
    }
}
