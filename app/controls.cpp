#include "app/controls.h"

#include <QPushButton>
#include <QWidget>

namespace quill {

QPushButton *makeButton(QWidget *parent, const char *objectName, const QString &caption,
                        int left, int top, int width, int height)
{
    auto *button = named(new QPushButton(caption, parent), objectName, caption);
    if (width > 0 && height > 0)
        button->setGeometry(left, top, width, height);
    return button;
}

QWidget *makePanel(QWidget *parent, const char *objectName, const QString &accessibleName,
                   bool opaque)
{
    auto *panel = named(new QWidget(parent), objectName, accessibleName);
    panel->setAutoFillBackground(opaque);
    return panel;
}

} // namespace quill
