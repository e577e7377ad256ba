#include "editor/findreplace.h"

#include <QStringMatcher>

#include <algorithm>

namespace quill {
namespace {

// The searches run on the text as it will be after a request was taken out
// of the cursor line, without copying the text: lineAt(L) gives that line.
template <typename LineAt>
std::optional<TextMatch> findFrom(LineAt lineAt, int lineCount, int cursorLine, int cursorColumn,
                                  const QString &findText)
{
    if (findText.isEmpty())
        return std::nullopt;
    const QStringMatcher matcher(findText);
    for (int line = std::max(cursorLine, 0); line < lineCount; ++line) {
        const qsizetype column = matcher.indexIn(lineAt(line));
        if (column >= 0 && (line != cursorLine || column > cursorColumn))
            return TextMatch{line, int(column)};
    }
    return std::nullopt;
}

template <typename LineAt>
std::optional<TextSplice> replaceFrom(LineAt lineAt, int lineCount, int cursorLine,
                                      const QString &findText, const QString &replaceText)
{
    if (findText.isEmpty())
        return std::nullopt;
    const QStringMatcher matcher(findText);
    for (int line = std::max(cursorLine, 0); line < lineCount; ++line) {
        const QString &text = lineAt(line);
        const qsizetype column = matcher.indexIn(text);
        if (column < 0)
            continue;
        QString replaced = text;
        replaced.replace(findText, replaceText);
        return lineReplacement(line, replaced, line, int(column));
    }
    return std::nullopt;
}

} // namespace

FindRequest ParseFindRequest(const QString &line, int cursorColumn)
{
    FindRequest request;
    const int column = std::clamp(cursorColumn, 0, int(line.size()));
    request.line = line;
    request.cursorColumn = column;
    if (column == 0)
        return request;

    const qsizetype close = line.lastIndexOf(u'}', column - 1);
    if (close < 0) {
        request.ReplaceText = line.left(column);
        return request;
    }
    request.ReplaceText = line.mid(close + 1, column - close - 1);
    const qsizetype open = close > 0 ? line.lastIndexOf(u'{', close - 1) : -1;
    const qsizetype start = open < 0 ? 0 : open;
    request.FindText = open < 0 ? line.left(close) : line.mid(open + 1, close - open - 1);
    request.line = line.left(start) + line.mid(column);
    request.cursorColumn = int(start);
    request.valid = true;
    return request;
}

std::optional<TextMatch> FindNext(const CodeText &lines, int cursorLine, int cursorColumn,
                                  const QString &findText)
{
    return findFrom([&](int line) -> const QString & { return lines[line]; }, int(lines.size()),
                    cursorLine, cursorColumn, findText);
}

std::optional<TextSplice> ReplaceNext(const CodeText &lines, int cursorLine,
                                      const QString &findText, const QString &replaceText)
{
    return replaceFrom([&](int line) -> const QString & { return lines[line]; }, int(lines.size()),
                       cursorLine, findText, replaceText);
}

namespace {

// Reads the request before the cursor into the search state; both commands
// then search the text with the request taken out of the cursor's line.
FindRequest takeRequest(const CodeText &lines, int cursorLine, int cursorColumn, SearchState &state)
{
    FindRequest request = ParseFindRequest(lines[cursorLine], cursorColumn);
    state.FindText = request.FindText;
    state.ReplaceText = request.ReplaceText;
    return request;
}

auto linesWithRequestTaken(const CodeText &lines, int cursorLine, const FindRequest &request)
{
    return [&lines, cursorLine, &request](int line) -> const QString & {
        return line == cursorLine ? request.line : lines[line];
    };
}

} // namespace

std::optional<TextSplice> findCommand(const CodeText &lines, int cursorLine, int cursorColumn,
                                      SearchState &state)
{
    const FindRequest request = takeRequest(lines, cursorLine, cursorColumn, state);
    if (!request.valid)
        return std::nullopt;
    const auto lineAt = linesWithRequestTaken(lines, cursorLine, request);
    const auto match = findFrom(lineAt, int(lines.size()), cursorLine, request.cursorColumn,
                                state.FindText);
    return match ? lineReplacement(cursorLine, request.line, match->line, match->column)
                 : lineReplacement(cursorLine, request.line, cursorLine, request.cursorColumn);
}

std::vector<TextSplice> replaceCommand(const CodeText &lines, int cursorLine, int cursorColumn,
                                       SearchState &state)
{
    const FindRequest request = takeRequest(lines, cursorLine, cursorColumn, state);
    if (!request.valid)
        return {};
    const auto lineAt = linesWithRequestTaken(lines, cursorLine, request);
    const auto replacement = replaceFrom(lineAt, int(lines.size()), cursorLine, state.FindText,
                                         state.ReplaceText);
    if (!replacement)
        return {lineReplacement(cursorLine, request.line, cursorLine, request.cursorColumn)};
    if (replacement->firstLine == cursorLine)
        return {*replacement};
    return {lineReplacement(cursorLine, request.line, cursorLine, request.cursorColumn), *replacement};
}

std::optional<TextSplice> findNextCommand(const CodeText &lines, int cursorLine, int cursorColumn,
                                          const SearchState &state)
{
    const auto match = FindNext(lines, cursorLine, cursorColumn, state.FindText);
    if (!match)
        return std::nullopt;
    return cursorMove(match->line, match->column);
}

std::optional<TextSplice> replaceNextCommand(const CodeText &lines, int cursorLine,
                                             const SearchState &state)
{
    return ReplaceNext(lines, cursorLine, state.FindText, state.ReplaceText);
}

} // namespace quill
