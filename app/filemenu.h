#pragma once

class QLineEdit;
class QPushButton;
class QWidget;

namespace quill {

struct LayoutResult;

// The file menu both editor pages share, as the layout pass places it: the
// menu bar across the page, New, Open and Save, and the name field.
void layoutFileMenu(const LayoutResult &layout, QWidget *menu, QPushButton *newButton, QPushButton *openButton,
                    QPushButton *saveButton, QLineEdit *nameEdit);

} // namespace quill
