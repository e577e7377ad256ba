#include "editor/completion.h"

#include "editor/declarednames.h"
#include "editor/wordbeforecursor.h"

#include <string_view>
#include <unordered_set>

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
        // Each name once: the views are of the characters the lists share.
        const auto key = [](const QString &name) {
            return std::u16string_view(reinterpret_cast<const char16_t *>(name.constData()), std::size_t(name.size()));
        };
        std::unordered_set<std::u16string_view> listed;
        for (const QString &match : matches)
            listed.insert(key(match));
        matches.reserve(matches.size() + ownNames.size());
        for (const QString &name : ownNames) {
            if (name.startsWith(word) && listed.insert(key(name)).second)
                matches.append(name);
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
