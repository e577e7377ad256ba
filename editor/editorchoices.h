#pragma once

#include "editor/pickmode.h"

#include <QString>
#include <QStringList>

namespace quill {

// What the choice and clipboard commands reach outside the text: the pick
// list and the platform's clipboard. The window implements it; tests use a
// plain one.
class EditorChoices {
public:
    virtual ~EditorChoices() = default;
    // Fills the pick list with the items and opens it in the mode.
    virtual void offerChoices(PickMode mode, const QStringList &items) = 0;
    // The clipboard's plain text; the empty string when it holds no text.
    virtual QString clipboardText() const = 0;
    virtual void setClipboardText(const QString &text) = 0;
};

} // namespace quill
