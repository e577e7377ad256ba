#pragma once

#include "builder/templateparts.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <vector>

namespace quill {

// A double-quoted JavaScript string literal whose value is exactly `text`.
// It holds no '<', no line break and no control character, so it is safe
// inside a script element of any HTML page.
QString scriptLiteral(QStringView text);

// True when `text` may stand between <script> and </script> as it is: it
// holds no "</script" and no "<!--" (in any case) and no NUL character, so
// an HTML parser ends the element at its own end tag and nowhere else.
bool staysInScript(QStringView text);
bool staysInScript(QByteArrayView bytes);

// A script element that runs `text` exactly as written, in its place, for a
// text that cannot stand between its own tags (staysInScript): the text
// goes in as string literals, one per line of it on a line of its own, and
// a script made from them with the given attributes runs where the element
// stands. The element spans as many lines as the text would have (lines end
// at CR LF, LF or CR, as the page's do); when linesBefore lines of the page
// come before its first line, the script reports its lines as the page's
// lines, and the page's address as its own, as the text would in a script
// element of its own.
QString carriedScript(QStringView text, const std::vector<Attribute> &attributes,
                      qsizetype linesBefore = 0);

} // namespace quill
