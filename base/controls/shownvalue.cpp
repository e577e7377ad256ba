#include "base/controls/shownvalue.h"

#include <QAbstractButton>
#include <QLabel>

namespace quill {

QLabel *makeValueLabel(QWidget *parent, const char *objectName, const QString &what, const QString &value)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setAccessibleDescription(what);
    showValue(label, value);
    return label;
}

void showValue(QLabel *label, const QString &value)
{
    label->setText(value);
    label->setAccessibleName(value.isEmpty() ? label->accessibleDescription() : value);
}

void showCaption(QAbstractButton *button, const QString &caption)
{
    button->setText(caption);
    button->setAccessibleName(caption);
}

} // namespace quill
