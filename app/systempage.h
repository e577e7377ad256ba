#pragma once

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quill {

// The System page's controls: the layout and export settings and the
// Default, Apply, Export, Website and Quit buttons.
struct SystemPageControls {
    QLineEdit *edtWidth = nullptr;
    QLineEdit *edtKeyHeight = nullptr;
    QLineEdit *edtCommand = nullptr;
    QLineEdit *edtSpriteSize = nullptr;
    QLineEdit *edtOpenmsxdir = nullptr;
    QPushButton *btDefault = nullptr;
    QPushButton *btApply = nullptr;
    QCheckBox *chkGfx9000 = nullptr;
    QPushButton *btExport = nullptr;
    QPushButton *btWebsite = nullptr;
    QPushButton *btQuit = nullptr;
};

} // namespace quill
