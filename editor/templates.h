#pragma once

#include "editor/codetext.h"

#include "editor/textsplice.h"

#include <QStringList>

namespace quill {

// What Tm offers: the template names that begin with the word before the
// cursor or, when none does (or there is no word), every name with
// WordLength 0, so that choosing removes nothing. The names come in the
// order of ListFiles and keep it.
struct TemplateChoices {
    QStringList items;
    int WordLength = 0;
};

TemplateChoices ChooseTemplates(const QStringList &templateNames, const QString &word);

// Inserting the chosen template: the word that was typed (WordLength
// characters before the cursor) is removed; a one-line template goes into
// the cursor line at the cursor, the cursor after it; any other template
// follows the cursor line as whole lines, the cursor at the end of the last
// one (an empty template only moves the cursor to the end of its line).
TextSplice TemplateInsertion(const CodeText &lines, int cursorLine, int cursorColumn, int WordLength,
                             const QStringList &templateLines);

} // namespace quill
