#include "editor/readertext.h"

#include "editor/codebuffer.h"
#include "editor/codetext.h"

#include <algorithm>
#include <limits>

namespace quill {

namespace {

int saturated(qint64 value)
{
    return int(std::min<qint64>(value, std::numeric_limits<int>::max()));
}

} // namespace

ReaderText::ReaderText(const CodeText &lines) : lines_(lines)
{
    starts_.reserve(std::size_t(lines.size()));
    qint64 offset = 0;
    for (int line = 0; line < lines.size(); ++line) {
        starts_.push_back(saturated(offset));
        offset += lines.at(line).size() + 1;
    }
    count_ = saturated(std::max<qint64>(0, offset - 1));
}

int ReaderText::lineOf(int offset) const
{
    if (starts_.empty())
        return 0;
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
    return std::max(0, int(after - starts_.begin()) - 1);
}

int ReaderText::offsetOf(int line, int column) const
{
    if (starts_.empty())
        return 0;
    line = std::clamp(line, 0, int(starts_.size()) - 1);
    column = std::clamp(column, 0, int(lines_.at(line).size()));
    return saturated(qint64(starts_[std::size_t(line)]) + column);
}

std::pair<int, int> ReaderText::positionOf(int offset) const
{
    offset = std::clamp(offset, 0, count_);
    const int line = lineOf(offset);
    return {line, starts_.empty() ? 0 : offset - starts_[std::size_t(line)]};
}

QString ReaderText::text(int start, int end) const
{
    start = std::clamp(start, 0, count_);
    end = std::clamp(end, start, count_);
    QString joined;
    for (int line = lineOf(start); line < int(starts_.size()) && starts_[std::size_t(line)] <= end; ++line) {
        const int lineStart = starts_[std::size_t(line)];
        const QString &text = lines_.at(line);
        const int from = std::max(start, lineStart) - lineStart;
        const int to = std::min<qint64>(end, qint64(lineStart) + text.size()) - lineStart;
        if (to > from)
            joined += QStringView(text).mid(from, to - from);
        if (qint64(lineStart) + text.size() < end)
            joined += u'\n';
    }
    return joined;
}

ReaderText::Range ReaderText::lineAround(int offset) const
{
    const int line = positionOf(offset).first;
    const int start = offsetOf(line, 0);
    return {start, starts_.empty() ? 0 : offsetOf(line, int(lines_.at(line).size()))};
}

int ReaderText::cursorOffset(const CodeBuffer &buffer) const
{
    return offsetOf(buffer.cursorLine(), buffer.cursorColumn());
}

std::optional<ReaderText::Range> ReaderText::selection(const CodeBuffer &buffer) const
{
    if (!buffer.selectionActive())
        return std::nullopt;
    const int anchor = offsetOf(buffer.selectionAnchorLine(), buffer.selectionAnchorColumn());
    const int cursor = cursorOffset(buffer);
    if (anchor > cursor)
        return std::nullopt;
    return Range{anchor, std::min(cursor + 1, count_)};
}

std::optional<TextChange> textChange(const QStringList &before, const QStringList &after)
{
    // The lines that stayed the same at the start and at the end; one line
    // of each is kept in the comparison, so that the line breaks beside the
    // changed lines are compared as characters.
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head])
        ++head;
    if (head == before.size() && head == after.size())
        return std::nullopt;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    head = std::max<qsizetype>(0, head - 1);
    tail = std::max<qsizetype>(0, tail - 1);

    const QString oldPart = before.mid(head, before.size() - head - tail).join(u'\n');
    const QString newPart = after.mid(head, after.size() - head - tail).join(u'\n');
    qint64 position = 0;
    for (qsizetype line = 0; line < head; ++line)
        position += before[line].size() + 1;

    const qsizetype shorterPart = std::min(oldPart.size(), newPart.size());
    qsizetype same = 0;
    while (same < shorterPart && oldPart[same] == newPart[same])
        ++same;
    qsizetype sameEnd = 0;
    while (sameEnd < shorterPart - same
           && oldPart[oldPart.size() - 1 - sameEnd] == newPart[newPart.size() - 1 - sameEnd])
        ++sameEnd;

    TextChange change;
    change.position = saturated(position + same);
    change.removed = oldPart.mid(same, oldPart.size() - same - sameEnd);
    change.inserted = newPart.mid(same, newPart.size() - same - sameEnd);
    return change;
}

} // namespace quill
