#pragma once

#include <QString>
#include <QStringView>

namespace quill {

// A one-line text holds no line break: CR, LF, vertical tab, form feed,
// U+0085, U+2028 or U+2029. Every field of the window keeps to it, a setting
// that would hold one is refused, and no key types one into a line. The
// one place of that rule.

inline bool isLineBreak(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case u'\r':
    case u'\v':
    case u'\f':
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

inline bool holdsLineBreak(QStringView text)
{
    for (const QChar c : text)
        if (isLineBreak(c))
            return true;
    return false;
}

// The text with its line breaks taken out.
inline QString withoutLineBreaks(QString text)
{
    text.removeIf(isLineBreak);
    return text;
}

} // namespace quill
