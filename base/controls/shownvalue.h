#pragma once

#include <QString>

class QAbstractButton;
class QLabel;
class QWidget;

namespace quill {

// Controls whose text changes as the program runs, read by assistive
// technology as they show now.
//
// A label that shows a value (a counter, a reading): its accessible name is
// the value it shows, or what it is while it shows nothing, and its
// description is what it is ("Cel" for "2/3").
QLabel *makeValueLabel(QWidget *parent, const char *objectName, const QString &what,
                       const QString &value = QString());
void showValue(QLabel *label, const QString &value);

// A button whose caption changes: the caption and the accessible name go
// together.
void showCaption(QAbstractButton *button, const QString &caption);

} // namespace quill
