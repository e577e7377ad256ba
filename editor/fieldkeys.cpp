#include "editor/fieldkeys.h"

#include "base/onelinetext.h"
#include "base/wholecharacters.h"
#include "editor/keycommands.h"

#include <algorithm>

namespace quill {

namespace {

// A field holds one line of text: no line break, no other control
// character, no half of a surrogate pair.
bool fitsInField(const QString &text)
{
    if (text.isEmpty() || holdsLineBreak(text) || holdsLoneSurrogate(text))
        return false;
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

// The position one character before or after `position`, stepping over a
// surrogate pair as one character.
int stepBack(const QString &text, int position)
{
    if (position <= 0)
        return 0;
    return position - unitsBefore(text, position);
}

int stepForward(const QString &text, int position)
{
    if (position >= text.size())
        return int(text.size());
    return position + unitsAt(text, position);
}

void placeCursor(FieldText &field, int position)
{
    field.cursor = position;
    field.anchor = position;
}

// Removes the selected text; returns whether there was any.
bool removeSelection(FieldText &field)
{
    if (field.cursor == field.anchor)
        return false;
    const int start = std::min(field.cursor, field.anchor);
    field.text.remove(start, std::abs(field.cursor - field.anchor));
    placeCursor(field, start);
    return true;
}

FieldKey removeRange(FieldText &field, int start, int end)
{
    if (start == end)
        return FieldKey::Ignored;
    field.text.remove(start, end - start);
    placeCursor(field, start);
    return FieldKey::Edited;
}

FieldKey moveTo(FieldText &field, int position)
{
    const FieldText before = field;
    placeCursor(field, position);
    return field == before ? FieldKey::Ignored : FieldKey::Moved;
}

} // namespace

FieldKey applyFieldKey(FieldText &field, const QString &caption)
{
    field.cursor = std::clamp(field.cursor, 0, int(field.text.size()));
    field.anchor = std::clamp(field.anchor, 0, int(field.text.size()));
    const int start = std::min(field.cursor, field.anchor);
    const int end = std::max(field.cursor, field.anchor);

    if (caption == QLatin1String("Rt"))
        return FieldKey::GiveBack;
    if (caption == QLatin1String("Sh"))
        return FieldKey::ToggleLayer;
    if (caption == QLatin1String("Bs"))
        return removeSelection(field) ? FieldKey::Edited
                                      : removeRange(field, stepBack(field.text, field.cursor), field.cursor);
    if (caption == QLatin1String("Dl"))
        return removeSelection(field) ? FieldKey::Edited
                                      : removeRange(field, field.cursor, stepForward(field.text, field.cursor));
    if (caption == QLatin1String("<-"))
        return moveTo(field, start != end ? start : stepBack(field.text, field.cursor));
    if (caption == QLatin1String("->"))
        return moveTo(field, start != end ? end : stepForward(field.text, field.cursor));
    if (caption == QLatin1String("Hm"))
        return moveTo(field, 0);
    if (caption == QLatin1String("En"))
        return moveTo(field, int(field.text.size()));
    if (KeyCommands::commandCaptions().contains(caption))
        return FieldKey::Ignored;

    const QString typed = caption == QLatin1String("&&") ? QStringLiteral("&") : caption;
    if (!fitsInField(typed))
        return FieldKey::Ignored;
    removeSelection(field);
    field.text.insert(field.cursor, typed);
    placeCursor(field, field.cursor + int(typed.size()));
    return FieldKey::Edited;
}

} // namespace quill
