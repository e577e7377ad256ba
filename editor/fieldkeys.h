#pragma once

#include <QString>

namespace quill {

// A one-line field as the on-screen keys see it: its text, the cursor and
// the other end of the selection (anchor == cursor: nothing selected).
// Positions count 16-bit characters.
struct FieldText {
    QString text;
    int cursor = 0;
    int anchor = 0;
    friend bool operator==(const FieldText &, const FieldText &) = default;
};

// What a key did to the field, or what it asks of the window.
enum class FieldKey {
    Ignored,      // a command that means nothing in a field, or a refused character
    Edited,       // the text changed (and the cursor with it)
    Moved,        // only the cursor or the selection changed
    GiveBack,     // "Rt": the field is done and gives the keys back
    ToggleLayer,  // "Sh": the keyboard changes layer, as it does for the code
};

// Applies the caption of an on-screen key to the field, as the key commands
// apply it to the code but within one line: a character (the caption "&&"
// is the character &) replaces the selection or goes in at the cursor;
// "Bs" and "Dl" remove the selection, or the character before or under the
// cursor; "<-" and "->" move by one character, or to the start or end of
// the selection; "Hm" and "En" go to the start and end of the line, whatever
// the layer; "^^" and "vv" have no line to go to. A character never splits a
// pair of surrogates. A line break, any other control character and a lone
// surrogate are never typed. The other command captions are ignored.
FieldKey applyFieldKey(FieldText &field, const QString &caption);

} // namespace quill
