#pragma once

#include "editor/codetext.h"

#include <QString>
#include <QStringList>

namespace quill {

// What Ky does with the word before the cursor.
//   no match         -> nothing
//   exactly one      -> insertText: the rest of that match after the word
//   two or more      -> choices for the pick list, keywords first
struct Completion {
    QString insertText;
    QStringList choices;
    bool completes = false;

    bool offers() const { return !choices.isEmpty(); }
};

// The keywords that begin with word, in the order of the keyword list
// (an empty word matches nothing).
QStringList KeywordMatches(const QStringList &Keywords, const QString &word);

// The matches of word: the keywords that begin with it in keyword-list
// order, then the program's own names (already filtered by the same word,
// see DeclaredNames) that are not keywords, each once. With no own names
// this is the keyword suggestion alone.
Completion CompleteWord(const QString &word, const QStringList &Keywords,
                        const QStringList &ownNames = {});

class DeclaredNameIndex;

// Ky on plain data: the word before the cursor completed from the keywords
// and the names the text declares, read through the index kept for this
// text. WordLength is the word's length.
Completion completeAtCursor(const CodeText &lines, int cursorLine, int cursorColumn,
                            const QStringList &Keywords, DeclaredNameIndex &declaredNames, int &WordLength);

} // namespace quill
