#pragma once

#include "editor/pickmode.h"

#include <QString>
#include <QStringList>

namespace quill {

// What the choice and clipboard commands reach outside the text: the pick
// list, the platform's clipboard, the keyword suggestions and the sprite
// size. The window implements it; tests use a plain one.
class EditorChoices {
public:
    virtual ~EditorChoices() = default;
    // The keyword suggestions of Ky, in their file's order.
    virtual QStringList keywords() const = 0;
    // The sprite size the sprite declaration of Sp measures sheets by.
    virtual int spriteSize() const = 0;
    // Fills the pick list with the items and opens it in the mode.
    virtual void offerChoices(PickMode mode, const QStringList &items) = 0;
    // The clipboard's plain text; the empty string when it holds no text.
    virtual QString clipboardText() const = 0;
    virtual void setClipboardText(const QString &text) = 0;
};

} // namespace quill
