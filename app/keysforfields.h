#pragma once

#include <QPointer>
#include <QString>
#include <functional>

class QLineEdit;
class QWidget;

namespace quill {

class Handlers;
class KeyboardLayer;
class KeyPanel;
class TouchTaps;

// The on-screen keys for the one-line fields of every page and of the run
// view. A key's tap edits the field that has the keys (the focused field,
// which only a tap gives the focus) as it would edit the code, within one
// line; "Rt" gives the keys back. A finger's tap on a field where the keys
// do not show brings them up at the foot of the window until the field lets
// go of the keys.
//
//   KeysForFields fieldKeys(window, keys, keyboard, crossings, handlers);
//   if (!fieldKeys.type(caption)) RunKeyCommand(caption);
class KeysForFields {
public:
    struct Crossings {
        // The run view lies over the page of the keys.
        std::function<bool()> overlayShowing;
        // "Rt" in a field: the field is done.
        std::function<void(QLineEdit *field)> fieldDone;
    };

    // Watches every one-line field inside the window as it is now.
    KeysForFields(QWidget &window, KeyPanel &keys, KeyboardLayer &keyboard, Crossings crossings,
                  Handlers &handlers);
    ~KeysForFields();

    // The key's tap for the field that has the keys; false when none has them.
    bool type(const QString &caption);
    // The field that has the keys: the focused, visible field inside the window.
    QLineEdit *fieldWithKeys() const;
    // The keys at the foot of the window, as wide as on their page.
    void floatKeys();

private:
    void fieldTapped(QWidget *field);
    void keysFollowFocus(QWidget *old, QWidget *now);

    QWidget &window_;
    KeyPanel &keys_;
    KeyboardLayer &keyboard_;
    Crossings crossings_;
    TouchTaps *taps_ = nullptr;
    QPointer<QLineEdit> floatFor_;  // the field the keys float for
};

} // namespace quill
