#pragma once

#include <QObject>

class QWidget;

namespace quill {

// Tells when a finger, not a mouse, taps one of the widgets it watches. It
// tells after the widget took the keyboard focus from the tap and before the
// widget itself sees the tap.
//
//   auto *taps = new TouchTaps(window);
//   taps->watch(nameEdit);
//   connect(taps, &TouchTaps::tapped, window, [](QWidget *edit) { ... });
class TouchTaps : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    void watch(QWidget *widget);

signals:
    void tapped(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace quill
