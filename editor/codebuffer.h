#pragma once

#include "editor/codetext.h"
#include "editor/edithistory.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace quill {

// The program text being edited, CodeLines, with its cursor, scroll window,
// selection state and CodeModified. It promises:
//  - CodeLines always holds at least one line;
//  - the cursor stands inside its line (0 <= CursorColumn <= length), never
//    between the two halves of a character outside the Basic Multilingual Plane;
//  - every change of the text goes through insertText / removeText /
//    insertLine(s) / removeLine(s), each recorded in the open undo step, so undo()
//    gives back the text unit for unit.
// TopLine and LeftColumn have no upper bound: a drag may scroll past the text.
// The selection anchor is a plain pair of numbers that edits do not move.
//
// Every change announces itself: contentChanged when the text or the file it
// belongs to changed, viewChanged when the cursor, the scroll window or the
// selection moved. Inside an undo step each comes once, when the step ends,
// so a view repaints and the recovery journal hears of a command once.
//
//   CodeBuffer buffer;                        // the new-program text
//   buffer.beginUndoStep();                   // one command = one step
//   buffer.insertText(0, 2, QStringLiteral(" hello"));
//   buffer.endUndoStep();
//   buffer.undo();                            // the text as it was
class CodeBuffer : public QObject {
    Q_OBJECT

public:
    // The 16 lines of a new program.
    static QStringList newProgramLines();

    explicit CodeBuffer(QObject *parent = nullptr);

    // ---- the text --------------------------------------------------------
    const CodeText &text() const { return CodeLines; }
    // A copy of every line, for handing the whole text on.
    QStringList lines() const { return CodeLines.toStringList(); }
    int lineCount() const { return CodeLines.size(); }
    const QString &line(int index) const { return CodeLines.at(index); }

    // Replaces the whole text with the new-program text and clears the undo
    // history (the start-up's new program). Leaves cursor, scroll, selection,
    // the file identity and CodeModified alone.
    void NewProgram();
    // Replaces the whole text with loaded lines (no lines: one empty line),
    // clears the history, sets cursor and scroll to 0 and clears CodeModified.
    // Leaves the selection state and the file identity alone.
    void loadLines(QStringList lines);
    void loadText(CodeText text);
    // True while the text is the one empty line that stands in for loaded
    // text without lines (an empty file, or a byte-order mark alone): the
    // text a file gets back is then no line at all, so that Open and Save
    // give back the file's bytes. Any change of the text ends it; undo and
    // redo of a New or Open bring it back with the text.
    bool standsForNoLines() const { return noLines_; }

    // New and Open: the whole text (no lines: one empty line) and the file
    // identity replaced as one undo step, so that undo brings back the text
    // with its name and encoding and redo replaces it again. Cursor and
    // scroll go to 0; CodeModified and the selection are left alone.
    void replaceDocument(CodeText text, FileIdentity identity);

    // ---- the file the text belongs to ---------------------------------------
    const FileIdentity &identity() const { return identity_; }
    // The name field as the user typed it; not an undo step.
    void setFileName(const QString &name);
    // After a save under `name` in `encoding`: the text now belongs there.
    void savedAs(const QString &name, TextEncoding encoding);

    // ---- edits: the only ways the text changes ---------------------------
    // Every edit outside an open step forms a step of its own. Positions are
    // checked: a position outside the text throws std::out_of_range and
    // changes nothing. None of them moves the cursor.
    void insertText(int line, int column, const QString &text); // text holds no line break
    QString removeText(int line, int column, int length);       // returns what was removed
    void insertLine(int index, const QString &text);            // 0 <= index <= lineCount()
    QString removeLine(int index);                              // refuses to remove the only line
    // A block of lines as one edit, so that pasting or cutting many lines
    // costs one pass over the text, not one per line.
    void insertLines(int index, const QStringList &lines);     // 0 <= index <= lineCount()
    QStringList removeLines(int index, int count);             // refuses to remove every line

    // Inserts text without line breaks at the cursor, moves the cursor
    // behind it and scrolls it into view.
    void InsertAtCursor(const QString &text);

    // ---- undo steps -------------------------------------------------------
    // Groups the edits up to endUndoStep() into one step; the cursor at
    // beginUndoStep is where undo() puts it back, the cursor at endUndoStep is
    // where redo() puts it. A step without edits is dropped. A Typing step
    // joins the previous step when that was a Typing step too and the cursor
    // has not moved on its own since; any other step closes the run.
    enum class StepKind { Command, Typing };
    void beginUndoStep(StepKind kind = StepKind::Command);
    void endUndoStep();

    // Undo and redo one step. Each sets CodeModified, puts the cursor back
    // where the step began (undo) or ended (redo), scrolls it into view and
    // returns whether there was a step.
    bool undo();
    bool redo();
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    // Oldest steps are dropped once the history holds more than this.
    void setHistoryLimit(qsizetype bytes) { history_.setLimit(bytes); }
    qsizetype historyBytes() const { return history_.bytes(); }

    // ---- cursor and scroll window ------------------------------------------
    int cursorLine() const { return CursorLine; }
    int cursorColumn() const { return CursorColumn; }
    int topLine() const { return TopLine; }
    int leftColumn() const { return LeftColumn; }
    // Clamps the line into the text and the column into the line, stepping
    // back off the second half of a surrogate pair.
    void setCursor(int line, int column);
    // Negative values become 0.
    void setScroll(int top, int left);

    // The view's size in cells; values below 1 count as 1, so that
    // ScrollToCursor always brings the cursor's cell into view.
    void setViewSize(int visibleColumns, int visibleLines);
    int visibleColumns() const { return VisibleColumns; }
    int visibleLines() const { return VisibleLines; }
    // Moves the scroll window the least amount that shows the cursor's cell.
    void ScrollToCursor();

    // ---- selection ------------------------------------------------------------
    bool selectionActive() const { return SelectionActive; }
    int selectionAnchorLine() const { return SelectionAnchorLine; }
    int selectionAnchorColumn() const { return SelectionAnchorColumn; }
    void setSelectionActive(bool active);
    void setSelectionAnchor(int line, int column);
    // Whether (line, column) lies in the selected range (false when no
    // selection is active); the character under the cursor belongs to it.
    bool inSelection(int line, int column) const;

    // Counts every change of the text (undo and redo too): equal counts
    // mean the same text.
    quint64 revision() const { return revision_; }

    bool codeModified() const { return CodeModified; }
    void setCodeModified(bool modified) { CodeModified = modified; }

signals:
    // The text changed (undo and redo too), or its name, the file it came
    // from or its encoding.
    void contentChanged();
    // The cursor, the scroll window or the selection moved.
    void viewChanged();

private:
    enum class Change { Content, View };
    // Emits the change now, or when the open undo step ends.
    void announce(Change change);
    void announcePending();

    void apply(const EditRecord &record);
    void record(EditRecord record);
    int snapColumn(int line, int column) const;

    CodeText CodeLines;
    int CursorLine = 0;
    int CursorColumn = 0;
    int TopLine = 0;
    int LeftColumn = 0;
    int VisibleColumns = 32;
    int VisibleLines = 19;
    bool SelectionActive = false;
    int SelectionAnchorLine = 0;
    int SelectionAnchorColumn = 0;
    bool CodeModified = false;
    FileIdentity identity_;
    quint64 revision_ = 0;
    bool noLines_ = false;

    EditHistory history_;
    EditStep step_;
    bool stepOpen_ = false;
    bool joinLastStep_ = false;  // the open step continues the last Typing step
    bool typingRunOpen_ = false; // the last step was Typing and the cursor has not moved since
    bool contentPending_ = false;
    bool viewPending_ = false;
};

} // namespace quill
