#pragma once

#include "base/constants.h"
#include "base/controls/controls.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quill {
class CodeView;
class KeyButton;
class KeyPanel;

// The Code page's controls: the file menu (with the keyboard toggle of the
// landscape layout), the code view, the code file chooser and the on-screen
// keyboard (KeyButtons[row x 10 + column]).
struct CodePageControls {
    QWidget *pnlBasMenu = nullptr;
    QPushButton *btTextNew = nullptr;
    QPushButton *btTextOpen = nullptr;
    QPushButton *btTextSave = nullptr;
    QLineEdit *edtFile = nullptr;
    QPushButton *btRun = nullptr;
    QPushButton *btKeys = nullptr;  // shows and hides the keys; landscape only
    CodeView *pntProg = nullptr;
    QLabel *imgFonts = nullptr;
    FileChooser files;  // pnlBasfiles, lstBasfiles, btTextOk, btTextCancel, btTextDelete
    KeyPanel *pnlKeys = nullptr;
    std::array<KeyButton *, KeyCount> KeyButtons{};
};

} // namespace quill
