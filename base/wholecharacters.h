#pragma once

#include <QString>
#include <QStringView>

namespace quill {

// Texts are counted in 16-bit units, and a character outside the Basic
// Multilingual Plane takes two of them: a high and a low surrogate. No
// cursor, edit, copy or chunk of a text splits such a pair, and a surrogate
// without its other half (a lone surrogate) is no character: it is never
// typed, and where a text comes from outside it is replaced by U+FFFD. The
// one place of that rule.

// Whether `position` lies between the two halves of a pair.
inline bool splitsPair(QStringView text, qsizetype position)
{
    return position > 0 && position < text.size() && text[position].isLowSurrogate()
           && text[position - 1].isHighSurrogate();
}

// The units of the character that starts at `position`: 2 for a pair, else 1.
inline int unitsAt(QStringView text, qsizetype position)
{
    return splitsPair(text, position + 1) ? 2 : 1;
}

// The units of the character that ends at `position`: 2 for a pair, else 1.
inline int unitsBefore(QStringView text, qsizetype position)
{
    return splitsPair(text, position - 1) ? 2 : 1;
}

// Whether the unit at `i` is a surrogate without its other half.
inline bool isLoneSurrogate(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !text[i - 1].isHighSurrogate();
    return false;
}

// Whether the text holds a lone surrogate.
inline bool holdsLoneSurrogate(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i].isSurrogate() && isLoneSurrogate(text, i))
            return true;
    return false;
}

// Replaces every lone surrogate by U+FFFD; returns whether there was one.
inline bool replaceLoneSurrogates(QString &text)
{
    bool replaced = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isSurrogate() && isLoneSurrogate(text, i)) {
            text[i] = QChar::ReplacementCharacter;
            replaced = true;
        }
    }
    return replaced;
}

} // namespace quill
