#include "editor/fieldkeys.h"

#include "editor/keycommands.h"

#include <algorithm>

namespace quill {

namespace {

// A field holds one line of text: no line break, no other control
// character, no half of a surrogate pair.
bool fitsInField(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return false;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return !text.isEmpty();
}

// The position one character before or after `position`, stepping over a
// surrogate pair as one character.
int stepBack(const QString &text, int position)
{
    if (position <= 0)
        return 0;
    if (position >= 2 && text.at(position - 1).isLowSurrogate() && text.at(position - 2).isHighSurrogate())
        return position - 2;
    return position - 1;
}

int stepForward(const QString &text, int position)
{
    if (position >= text.size())
        return int(text.size());
    if (position + 1 < text.size() && text.at(position).isHighSurrogate() && text.at(position + 1).isLowSurrogate())
        return position + 2;
    return position + 1;
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
