// The Code page: its file menu, the code view, the code file chooser and the
// on-screen keyboard.
#include "app/ammain.h"

#include "editor/codeview.h"
#include "app/base/controls.h"
#include "editor/keybutton.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

void TfrmMain::createCodePage(QWidget *page)
{
    using quill::makeButton;
    pnlBasMenu = quill::makePanel(page, "pnlBasMenu", QStringLiteral("Code menu"));
    btTextNew = makeButton(pnlBasMenu, "btTextNew", QStringLiteral("New"));
    btTextOpen = makeButton(pnlBasMenu, "btTextOpen", QStringLiteral("Open"));
    btTextSave = makeButton(pnlBasMenu, "btTextSave", QStringLiteral("Save"));
    edtFile = quill::named(new QLineEdit(pnlBasMenu), "edtFile", QStringLiteral("File name"));
    btRun = makeButton(pnlBasMenu, "btRun", QStringLiteral("Run"));

    pntProg = quill::named(new quill::CodeView(page), "pntProg", QStringLiteral("Code view"));
    imgFonts = quill::named(new QLabel(pntProg), "imgFonts", QStringLiteral("Font image"));
    imgFonts->hide();

    const quill::FileChooser chooser = quill::makeFileChooser(
        page, {"pnlBasfiles", "lstBasfiles", "btTextOk", "btTextCancel", "btTextDelete"},
        QStringLiteral("Code file chooser"), QStringLiteral("Code files"));
    pnlBasfiles = chooser.panel;
    lstBasfiles = chooser.list;
    btTextOk = chooser.ok;
    btTextCancel = chooser.cancel;
    btTextDelete = chooser.remove;

    pnlKeys = quill::makePanel(page, "pnlKeys", QStringLiteral("Keyboard"));
}

void TfrmMain::createKeyButtons()
{
    // Row-major, so KeyButtons[row * 10 + column] is the key at row, column.
    for (int index = 0; index < quill::KeyCount; ++index) {
        auto *key = new quill::KeyButton(pnlKeys);
        key->setObjectName(QStringLiteral("KeyButton%1").arg(index));
        connect(key, &quill::KeyButton::keyClicked, this, &TfrmMain::RunKeyCommand);
        KeyButtons[index] = key;
    }
}

void TfrmMain::layoutCodePage(const std::array<QString, quill::KeyCount> &captions)
{
    pnlBasMenu->setGeometry(0, 0, Layout.pageWidth, quill::MenuBarHeight);
    btTextNew->setGeometry(Layout.newButton);
    btTextOpen->setGeometry(Layout.openButton);
    btTextSave->setGeometry(Layout.saveButton);
    edtFile->setGeometry(Layout.fileEdit);
    btRun->setGeometry(Layout.runButton);

    pntProg->setGeometry(Layout.codeView);
    pnlBasfiles->setGeometry(Layout.codeView);
    lstBasfiles->setGeometry(0, 0, quill::ChooserListWidth, Layout.codeView.height());

    pnlKeys->setGeometry(Layout.keyPanel);
    for (int index = 0; index < quill::KeyCount; ++index) {
        quill::KeyButton *key = KeyButtons[index];
        key->setCaption(captions[index]);
        key->setGeometry(Layout.keys[index].geometry);
        key->setVisible(Layout.keys[index].visible);
    }
}
