#include "editor/completion.h"

#include "editor/declarednames.h"
#include "editor/wordbeforecursor.h"

#include <QSet>

namespace quill {

QStringList KeywordMatches(const QStringList &Keywords, const QString &word)
{
    QStringList matches;
    if (word.isEmpty())
        return matches;
    for (const QString &keyword : Keywords) {
        if (keyword.startsWith(word))
            matches.append(keyword);
    }
    return matches;
}

Completion CompleteWord(const QString &word, const QStringList &Keywords, const QStringList &ownNames)
{
    Completion completion;
    QStringList matches = KeywordMatches(Keywords, word);
    if (word.isEmpty())
        return completion;
    if (!ownNames.isEmpty()) {
        const QSet<QString> listed(matches.cbegin(), matches.cend());
        QSet<QString> added;
        for (const QString &name : ownNames) {
            if (name.startsWith(word) && !listed.contains(name) && !added.contains(name)) {
                matches.append(name);
                added.insert(name);
            }
        }
    }
    if (matches.size() == 1) {
        completion.completes = true;
        completion.insertText = matches.front().mid(word.size());
    } else if (matches.size() > 1) {
        completion.choices = matches;
    }
    return completion;
}

Completion completeAtCursor(const CodeText &lines, int cursorLine, int cursorColumn,
                            const QStringList &Keywords, DeclaredNameIndex &declaredNames, int &WordLength)
{
    const QString word = WordBeforeCursor(lines[cursorLine], cursorColumn);
    WordLength = int(word.size());
    if (word.isEmpty())
        return {};
    const QStringList ownNames = declaredNames.names(lines, NameQuery{word, cursorLine, cursorColumn});
    return CompleteWord(word, Keywords, ownNames);
}

} // namespace quill
