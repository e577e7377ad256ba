#pragma once

#include "editor/declarednames.h"
#include "editor/findreplace.h"
#include "editor/jumptargets.h"
#include "editor/pickmode.h"

#include <QString>
#include <QStringList>

namespace quill {

class CodeBuffer;
class EditorChoices;
class KeyboardLayer;
struct TextSplice;

// The folders the pick list's code modes list.
struct ChoiceSources {
    QString templateDir;
    QString imageDir;
    QString audioDir;
};

// The key commands that offer a choice, search, or use the clipboard (Ky,
// Tm, Sp, Au, Jp, Sl, Cp, Ps, Ct, Fi, Fn, Rp, Rn), and the choices made in
// the pick list's code modes. The commands run inside the key command's
// undo step; a choice is an undo step of its own and sets CodeModified.
//
//   ChoiceCommands choices(buffer, keyboard, window);
//   choices.Ky();                                   // completes or offers
//   choices.choose(PickMode::Keywords, 0, "setcam(");
class ChoiceCommands {
public:
    ChoiceCommands(CodeBuffer &buffer, KeyboardLayer &keyboard, EditorChoices &choices);

    void setSources(const ChoiceSources &sources) { sources_ = sources; }

    void Ky();
    void Tm();
    void Sp();
    void Au();
    void Jp();
    void Sl();
    void Cp();
    void Ps();
    void Ct();
    void Fi();
    void Fn();
    void Rp();
    void Rn();

    // True after a Ps that found no text on the clipboard: that command
    // leaves even the scroll window as it was. Cleared by the next command.
    bool leavesViewAlone() const { return leaveViewAlone_; }
    void commandStarts() { leaveViewAlone_ = false; }

    // The choice of item `index` (text `item`) in a code mode of the pick
    // list. Throws QuillError when a template or an image cannot be read;
    // the text is then unchanged.
    void choose(PickMode mode, int index, const QString &item);

    const SearchState &search() const { return search_; }
    int wordLength() const { return WordLength; }

private:
    void apply(const TextSplice &splice);

    CodeBuffer &buffer_;
    KeyboardLayer &keyboard_;
    EditorChoices &choices_;
    ChoiceSources sources_;
    SearchState search_;
    JumpList jumps_;
    int WordLength = 0;
    DeclaredNameIndex declaredNames_;
    bool leaveViewAlone_ = false;
};

} // namespace quill
