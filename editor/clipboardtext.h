#pragma once

#include "editor/codetext.h"

#include "editor/textsplice.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quill {

// The selection and the clipboard's text on plain data. The selected range
// runs from the anchor through the cursor, the character under the cursor
// included:
//   anchor and cursor on one line -> columns anchorColumn..cursorColumn
//                                    (nothing when the cursor is before the anchor)
//   anchor above the cursor       -> the anchor line from anchorColumn, the
//                                    lines between, the cursor line through cursorColumn
//   anchor below the cursor       -> nothing
// A column beyond the end of its line contributes no character.
struct SelectionRange {
    int anchorLine = 0;
    int anchorColumn = 0;
    int cursorLine = 0;
    int cursorColumn = 0;
};

// ClipLines for Cp: the pieces of the range, one per line; empty when the
// range is empty because the anchor follows the cursor.
QStringList SelectedLines(const CodeText &lines, const SelectionRange &range);

// The clipboard text of ClipLines: every line followed by CR LF, the last
// one too; the empty string for no lines.
QString ClipboardText(const QStringList &ClipLines);

// ClipLines from a clipboard text: split at CR LF, lone LF and lone CR; a
// final line break adds no empty line.
QStringList ClipboardLines(const QString &text);

// Ct: ClipLines as for Cp, and the removal of the range as one change. On
// several lines the anchor line keeps its first anchorColumn characters and
// is joined with what follows the cursor on the cursor line; the cursor goes
// where they meet. No splice when the anchor follows the cursor.
struct Cut {
    QStringList ClipLines;
    std::optional<TextSplice> removal;
};

Cut CutSelection(const CodeText &lines, const SelectionRange &range);

// Ps: one line goes into the cursor line at the cursor, the cursor after
// it; several lines follow the cursor line as whole lines, the cursor at the
// end of the last. No splice for no lines.
std::optional<TextSplice> PasteInsertion(const CodeText &lines, int cursorLine, int cursorColumn,
                                         const QStringList &ClipLines);

} // namespace quill
