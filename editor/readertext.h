#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace quill {

class CodeBuffer;
class CodeText;

// The program text as assistive technology reads it: one string with "\n"
// between the lines, offsets counting 16-bit characters from its start. It
// reads the lines of the text it was made from, which must not change while
// it is in use.
//
//   ReaderText reader(buffer.text());
//   reader.offsetOf(2, 4);                // line 2, column 4
//   reader.text(reader.lineAround(30));   // the line holding offset 30
class ReaderText {
public:
    using Range = std::pair<int, int>; // [first, second)

    explicit ReaderText(const CodeText &lines);

    int characterCount() const { return count_; }
    // The column is kept within its line, the line within the text.
    int offsetOf(int line, int column) const;
    // Line and column of an offset; "\n" belongs to the line it ends.
    std::pair<int, int> positionOf(int offset) const;
    QString text(int start, int end) const;
    QString text(Range range) const { return text(range.first, range.second); }
    // The line holding the offset, without its line break.
    Range lineAround(int offset) const;

    // The cursor's offset, and the selected range (the character under the
    // cursor included, the line break where the cursor ends a line); nothing
    // when no selection is active or it runs backwards.
    int cursorOffset(const CodeBuffer &buffer) const;
    std::optional<Range> selection(const CodeBuffer &buffer) const;

private:
    int lineOf(int offset) const;

    const CodeText &lines_;
    std::vector<int> starts_; // the offset of each line's first character
    int count_ = 0;
};

// What changed between two versions of a text, as one stretch: where it
// starts (an offset into the joined text) and the characters it held and
// holds now. Nothing when the texts are equal.
struct TextChange {
    int position = 0;
    QString removed;
    QString inserted;
    friend bool operator==(const TextChange &, const TextChange &) = default;
};
std::optional<TextChange> textChange(const QStringList &before, const QStringList &after);

} // namespace quill
