#pragma once

#include <QString>
#include <QStringView>

namespace quill {

// Plain substring search, exact and case-sensitive, as QStringView::indexOf
// answers it, but quick over texts of megabytes and cheap to call on a line
// of forty characters: candidates are found by their first and last
// character, eight places at a time.
//
//   findText(u"var score;", u"score")   // 4
qsizetype findText(QStringView text, QStringView needle, qsizetype from = 0);

inline bool containsText(QStringView text, QStringView needle)
{
    return findText(text, needle) >= 0;
}

// Replaces every occurrence of `before` (not empty), left to right and
// without overlaps, as QString::replace does, within the text's own buffer
// where it has room; a text without one is left as it is, not copied.
// Returns how many were replaced.
qsizetype replaceText(QString &text, QStringView before, QStringView after);

} // namespace quill
