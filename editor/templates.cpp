#include "editor/templates.h"

#include <algorithm>

namespace quill {

TemplateChoices ChooseTemplates(const QStringList &templateNames, const QString &word)
{
    TemplateChoices choices;
    if (!word.isEmpty()) {
        for (const QString &name : templateNames) {
            if (name.startsWith(word))
                choices.items.append(name);
        }
    }
    if (choices.items.isEmpty()) {
        choices.items = templateNames;
    } else {
        choices.WordLength = int(word.size());
    }
    return choices;
}

TextSplice TemplateInsertion(const CodeText &lines, int cursorLine, int cursorColumn, int WordLength,
                             const QStringList &templateLines)
{
    QString line = lines[cursorLine];
    int column = std::clamp(cursorColumn, 0, int(line.size()));
    // The cursor may have moved since the list was filled: never remove
    // more than the text before it.
    const int removed = std::clamp(WordLength, 0, column);
    column -= removed;
    line.remove(column, removed);

    if (templateLines.size() == 1) {
        line.insert(column, templateLines.front());
        return lineReplacement(cursorLine, line, cursorLine, column + int(templateLines.front().size()));
    }
    TextSplice splice;
    splice.firstLine = cursorLine;
    splice.removedCount = 1;
    splice.insertedLines.reserve(templateLines.size() + 1);
    splice.insertedLines.append(line);
    splice.insertedLines.append(templateLines);
    splice.cursorLine = cursorLine + int(templateLines.size());
    splice.cursorColumn = int(splice.insertedLines.back().size());
    return splice;
}

} // namespace quill
