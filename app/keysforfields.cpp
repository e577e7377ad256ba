#include "app/keysforfields.h"

#include "base/controls/touchtaps.h"
#include "app/handlerboundary.h"
#include "editor/fieldkeys.h"
#include "editor/keyboardlayer.h"
#include "editor/keypanel.h"

#include <QApplication>
#include <QLineEdit>

namespace quill {

KeysForFields::KeysForFields(QWidget &window, KeyPanel &keys, KeyboardLayer &keyboard, Crossings crossings,
                             Handlers &handlers)
    : window_(window), keys_(keys), keyboard_(keyboard), crossings_(std::move(crossings)),
      taps_(new TouchTaps(&window))
{
    for (QLineEdit *field : window.findChildren<QLineEdit *>())
        taps_->watch(field);
    handlers.wire(taps_, &TouchTaps::tapped, this, &KeysForFields::fieldTapped);
    handlers.wire(qApp, &QApplication::focusChanged, this, &KeysForFields::keysFollowFocus);
}

KeysForFields::~KeysForFields() = default;

QLineEdit *KeysForFields::fieldWithKeys() const
{
    auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    return field && field->isVisible() && window_.isAncestorOf(field) ? field : nullptr;
}

bool KeysForFields::type(const QString &caption)
{
    QLineEdit *field = fieldWithKeys();
    if (!field)
        return false;
    FieldText text{field->text(), field->cursorPosition(), field->cursorPosition()};
    if (field->hasSelectedText())
        text.anchor = text.cursor == field->selectionStart() ? field->selectionEnd() : field->selectionStart();
    switch (applyFieldKey(text, caption)) {
    case FieldKey::Edited:
        // As typed: the field's own undo, length limit and checks apply.
        field->selectAll();
        field->insert(text.text);
        [[fallthrough]];
    case FieldKey::Moved:
        if (text.anchor == text.cursor)
            field->setCursorPosition(text.cursor);
        else
            field->setSelection(text.anchor, text.cursor - text.anchor);
        break;
    case FieldKey::GiveBack:
        crossings_.fieldDone(field);
        if (QApplication::focusWidget() == field)
            field->clearFocus();
        break;
    case FieldKey::ToggleLayer:
        keyboard_.setShiftState(!keyboard_.shiftState());
        break;
    case FieldKey::Ignored:
        break;
    }
    return true;
}

void KeysForFields::fieldTapped(QWidget *field)
{
    // The run view lies over the keys when it shows.
    const bool keysShow = keys_.isVisible() && (keys_.floating() || !crossings_.overlayShowing());
    if (field != QApplication::focusWidget() || keysShow)
        return;
    floatFor_ = qobject_cast<QLineEdit *>(field);
    if (floatFor_)
        floatKeys();
}

void KeysForFields::floatKeys()
{
    const QSize size = keys_.size();
    keys_.floatOver(&window_, QRect(QPoint(keys_.x(), window_.height() - size.height()), size));
}

void KeysForFields::keysFollowFocus(QWidget *, QWidget *now)
{
    if (!keys_.floating() || now == floatFor_)
        return;
    floatFor_ = nullptr;
    keys_.dock();
}

} // namespace quill
