// The on-screen keys: whether a key's tap edits the code or the one-line
// field that has the keys, where the keyboard shows for a field away from
// it, and Escape, which closes what lies over a page.
#include "app/ammain.h"

#include "builder/runview.h"
#include "editor/fieldkeys.h"
#include "editor/keypanel.h"
#include "editor/picklist.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

void TfrmMain::keyTapped(const QString &caption)
{
    if (QLineEdit *field = fieldWithKeys())
        fieldKeyTapped(field, caption);
    else
        RunKeyCommand(caption);
}

QLineEdit *TfrmMain::fieldWithKeys() const
{
    auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    return field && field->isVisible() && isAncestorOf(field) ? field : nullptr;
}

void TfrmMain::fieldKeyTapped(QLineEdit *field, const QString &caption)
{
    quill::FieldText text{field->text(), field->cursorPosition(), field->cursorPosition()};
    if (field->hasSelectedText())
        text.anchor = text.cursor == field->selectionStart() ? field->selectionEnd() : field->selectionStart();
    switch (quill::applyFieldKey(text, caption)) {
    case quill::FieldKey::Edited:
        // As typed: the field's own undo, length limit and checks apply.
        field->selectAll();
        field->insert(text.text);
        [[fallthrough]];
    case quill::FieldKey::Moved:
        if (text.anchor == text.cursor)
            field->setCursorPosition(text.cursor);
        else
            field->setSelection(text.anchor, text.cursor - text.anchor);
        break;
    case quill::FieldKey::GiveBack:
        fieldDone(field);
        break;
    case quill::FieldKey::ToggleLayer:
        setShiftState(!ShiftState);
        break;
    case quill::FieldKey::Ignored:
        break;
    }
}

void TfrmMain::fieldDone(QLineEdit *field)
{
    if (field == runView_->widthEdit())
        btnRunResizeClick();
    giveCodeTheKeys();
    if (QApplication::focusWidget() == field)
        field->clearFocus();
}

void TfrmMain::fieldTapped(QWidget *field)
{
    // The run view lies over the keys when it shows.
    const bool keysShow = codePage_.pnlKeys->isVisible() && (codePage_.pnlKeys->floating() || !runView_->isVisible());
    if (field != QApplication::focusWidget() || keysShow)
        return;
    keysFloatFor_ = qobject_cast<QLineEdit *>(field);
    if (keysFloatFor_)
        floatKeys();
}

void TfrmMain::floatKeys()
{
    const QSize size = layout_.keyPanel.size();
    codePage_.pnlKeys->floatOver(this, QRect(QPoint(layout_.keyPanel.x(), height() - size.height()), size));
}

void TfrmMain::keysFollowFocus(QWidget *, QWidget *now)
{
    if (!codePage_.pnlKeys->floating() || now == keysFloatFor_)
        return;
    keysFloatFor_ = nullptr;
    codePage_.pnlKeys->dock();
}

bool TfrmMain::closeOnEscape()
{
    if (PickList->isVisible()) {
        PickList->cancelButton()->click();
        return true;
    }
    for (const quill::FileChooser *chooser : {&codePage_.files, &spritePage_.files}) {
        if (chooser->panel->isVisible()) {
            chooser->cancel->click();
            return true;
        }
    }
    return false;
}
