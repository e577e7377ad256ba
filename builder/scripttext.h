#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

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

} // namespace quill
