#include "editor/clipboardtext.h"

#include "base/textfile.h"
#include "base/wholecharacters.h"

#include <algorithm>

namespace quill {
namespace {

// Characters first..last of a line, only those that exist.
QString characters(const QString &line, int first, int last)
{
    if (first >= line.size() || last < first)
        return QString();
    return line.mid(first, last - first + 1);
}

// The range widened to whole characters: an anchor left inside a pair by
// later edits starts at the pair, and a cursor on a pair takes both halves.
// Without this the clipboard would get half a character and the text keep
// the other half.
SelectionRange wholeCharacters(const CodeText &lines, SelectionRange range)
{
    if (range.anchorLine < 0 || range.anchorLine >= lines.size() || range.cursorLine < 0
        || range.cursorLine >= lines.size())
        return range;
    if (splitsPair(lines[range.anchorLine], range.anchorColumn))
        --range.anchorColumn;
    const QString &cursorLine = lines[range.cursorLine];
    if (splitsPair(cursorLine, range.cursorColumn + 1))
        ++range.cursorColumn;
    return range;
}

QStringList rangePieces(const CodeText &lines, const SelectionRange &range)
{
    QStringList pieces;
    if (range.anchorLine == range.cursorLine) {
        if (range.cursorColumn >= range.anchorColumn)
            pieces.append(characters(lines[range.cursorLine], range.anchorColumn, range.cursorColumn));
    } else if (range.anchorLine < range.cursorLine) {
        pieces.reserve(range.cursorLine - range.anchorLine + 1);
        pieces.append(lines[range.anchorLine].mid(range.anchorColumn));
        for (int line = range.anchorLine + 1; line < range.cursorLine; ++line)
            pieces.append(lines[line]);
        pieces.append(characters(lines[range.cursorLine], 0, range.cursorColumn));
    }
    return pieces;
}

} // namespace

QStringList SelectedLines(const CodeText &lines, const SelectionRange &range)
{
    return rangePieces(lines, wholeCharacters(lines, range));
}

QString ClipboardText(const QStringList &ClipLines)
{
    qsizetype size = 0;
    for (const QString &line : ClipLines)
        size += line.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString &line : ClipLines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return text;
}

QStringList ClipboardLines(const QString &text)
{
    QStringList lines = splitLines(text);
    for (QString &line : lines)
        // A clipboard text may come from another program with half a
        // character in it; the code text never holds one.
        replaceLoneSurrogates(line);
    return lines;
}

Cut CutSelection(const CodeText &lines, const SelectionRange &selected)
{
    const SelectionRange range = wholeCharacters(lines, selected);
    Cut cut;
    cut.ClipLines = rangePieces(lines, range);
    if (range.anchorLine == range.cursorLine) {
        if (range.cursorColumn < range.anchorColumn)
            return cut;
        QString line = lines[range.cursorLine];
        // An anchor beyond the end of the line leaves the cursor at the end.
        const int column = std::min(range.anchorColumn, int(line.size()));
        line.remove(column, range.cursorColumn - range.anchorColumn + 1);
        cut.removal = lineReplacement(range.cursorLine, line, range.cursorLine, column);
    } else if (range.anchorLine < range.cursorLine) {
        const QString head = lines[range.anchorLine].left(range.anchorColumn);
        const QString tail = lines[range.cursorLine].mid(range.cursorColumn + 1);
        cut.removal = TextSplice{range.anchorLine, range.cursorLine - range.anchorLine + 1, {head + tail},
                                 range.anchorLine, int(head.size())};
    }
    return cut;
}

std::optional<TextSplice> PasteInsertion(const CodeText &lines, int cursorLine, int cursorColumn,
                                         const QStringList &ClipLines)
{
    if (ClipLines.isEmpty())
        return std::nullopt;
    if (ClipLines.size() == 1) {
        QString line = lines[cursorLine];
        int column = std::clamp(cursorColumn, 0, int(line.size()));
        if (splitsPair(line, column))
            --column;
        line.insert(column, ClipLines.front());
        return lineReplacement(cursorLine, line, cursorLine, column + int(ClipLines.front().size()));
    }
    return TextSplice{cursorLine + 1, 0, ClipLines, cursorLine + int(ClipLines.size()),
                      int(ClipLines.back().size())};
}

} // namespace quill
