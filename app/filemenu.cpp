#include "app/filemenu.h"

#include "app/layoutscreen.h"

#include <QLineEdit>
#include <QPushButton>

namespace quill {

void layoutFileMenu(const LayoutResult &layout, QWidget *menu, QPushButton *newButton, QPushButton *openButton,
                    QPushButton *saveButton, QLineEdit *nameEdit)
{
    menu->setGeometry(0, 0, layout.pageWidth, MenuBarHeight);
    newButton->setGeometry(layout.newButton);
    openButton->setGeometry(layout.openButton);
    saveButton->setGeometry(layout.saveButton);
    nameEdit->setGeometry(layout.fileEdit);
}

} // namespace quill
