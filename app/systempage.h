#pragma once

#include "app/layoutscreen.h"

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QWidget;

namespace quill {

// The System page's controls: the layout and export settings and the
// Default, Apply, Export, Website and Quit buttons, on a sheet that scrolls
// where the page is smaller than they need.
struct SystemPageControls {
    QScrollArea *scroller = nullptr;
    QWidget *sheet = nullptr;
    // Every control with its label, indexed by SystemControl.
    std::array<QWidget *, SystemControlCount> placed{};
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
