#pragma once

#include "base/textfile.h"
#include "editor/codetext.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

namespace quill {

// Which file the code text belongs to: the name in the name field, the
// file it was last read from or written to (empty for none), and the
// encoding that the next save writes.
struct FileIdentity {
    QString name;
    QString origin;
    TextEncoding encoding = TextEncoding::Local8Bit;
    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};

// A whole text with its identity replaced by another (New, Open): both
// sides are kept, so that undo and redo can swap them.
struct WholeText {
    CodeText before;
    FileIdentity beforeIdentity;
    CodeText after;
    FileIdentity afterIdentity;
};

// One change of the text at a position, enough to redo it and to undo it.
// Texts hold no line breaks: lines are inserted and removed whole.
// ReplaceWhole puts whole->after in place of the text, RestoreWhole
// whole->before, each with its identity.
struct EditRecord {
    enum class Kind {
        InsertText, RemoveText, InsertLine, RemoveLine, InsertLines, RemoveLines,
        ReplaceWhole, RestoreWhole
    };
    Kind kind = Kind::InsertText;
    int line = 0;
    int column = 0; // InsertText and RemoveText only
    QString text;   // the inserted or removed characters or line
    QStringList lines; // InsertLines and RemoveLines: a block of lines as one edit
    std::shared_ptr<const WholeText> whole; // ReplaceWhole and RestoreWhole

    EditRecord inverse() const;
    // What the record holds in memory, for the history's limit.
    qsizetype bytes() const;
};

struct CursorPosition {
    int line = 0;
    int column = 0;
    friend bool operator==(const CursorPosition &, const CursorPosition &) = default;
};

// The edits of one command (or one run of typed characters), with the cursor
// before and after them.
struct EditStep {
    std::vector<EditRecord> records;
    CursorPosition before;
    CursorPosition after;
    bool typing = false;
    qsizetype bytes = 0;
};

// Undo and redo stacks of edit steps, bounded by bytes: when the steps hold
// more than the limit, the oldest are dropped first (a single step larger
// than the limit is not kept at all).
class EditHistory {
public:
    static constexpr qsizetype DefaultLimit = 16 * 1024 * 1024;

    // A new step drops everything that could be redone.
    void push(EditStep step);
    // Adds a step's records to the last undoable step (a run of typing).
    void joinLast(EditStep step);
    const EditStep *lastUndo() const { return undo_.empty() ? nullptr : &undo_.back(); }

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Moves the last undoable step to the redo stack and returns it.
    const EditStep &stepBack();
    // Moves the last redoable step back to the undo stack and returns it.
    const EditStep &stepForward();

    void clear();
    void setLimit(qsizetype bytes);
    qsizetype limit() const { return limit_; }
    qsizetype bytes() const { return bytes_; }

private:
    void dropRedo();
    void trim();

    std::deque<EditStep> undo_;
    std::vector<EditStep> redo_;
    qsizetype bytes_ = 0;
    qsizetype limit_ = DefaultLimit;
};

} // namespace quill
