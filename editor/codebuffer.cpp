#include "editor/codebuffer.h"

#include "base/wholecharacters.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace quill {

namespace {

[[noreturn]] void outside(const char *what)
{
    throw std::out_of_range(std::string("CodeBuffer: ") + what + " outside the text");
}

} // namespace

QStringList CodeBuffer::newProgramLines()
{
    return {
        QStringLiteral("//"),
        QStringLiteral("function init(){"),
        QStringLiteral("}"),
        QString(),
        QStringLiteral("function move(i){"),
        QStringLiteral("}"),
        QString(),
        QStringLiteral("function update(){"),
        QStringLiteral("}"),
        QString(),
        QStringLiteral("function mousedown(x,y){"),
        QStringLiteral("}"),
        QString(),
        QStringLiteral("function mouseup(x,y){"),
        QStringLiteral("}"),
        QString(),
    };
}

CodeBuffer::CodeBuffer(QObject *parent) : QObject(parent), CodeLines(newProgramLines()) {}

void CodeBuffer::announce(Change change)
{
    (change == Change::Content ? contentPending_ : viewPending_) = true;
    if (!stepOpen_)
        announcePending();
}

void CodeBuffer::announcePending()
{
    if (std::exchange(contentPending_, false))
        emit contentChanged();
    if (std::exchange(viewPending_, false))
        emit viewChanged();
}

void CodeBuffer::NewProgram()
{
    CodeLines = newProgramLines();
    noLines_ = false;
    ++revision_;
    history_.clear();
    stepOpen_ = false;
    typingRunOpen_ = false;
    // The cursor is left for the caller to set, but it must still name a
    // place in the text for the invariant to hold.
    setCursor(CursorLine, CursorColumn);
    announce(Change::Content);
}

void CodeBuffer::loadLines(QStringList lines)
{
    loadText(CodeText(lines));
}

void CodeBuffer::loadText(CodeText text)
{
    noLines_ = text.isEmpty();
    if (noLines_)
        text.insert(0, QString());
    CodeLines = std::move(text);
    ++revision_;
    history_.clear();
    stepOpen_ = false;
    typingRunOpen_ = false;
    CursorLine = CursorColumn = TopLine = LeftColumn = 0;
    CodeModified = false;
    announce(Change::Content);
    announce(Change::View);
}

void CodeBuffer::replaceDocument(CodeText text, FileIdentity identity)
{
    beginUndoStep();
    // Text without lines is kept as such (the line standing in for it is
    // put in when it is shown), so that undo and redo bring it back as it was.
    auto whole = std::make_shared<WholeText>();
    whole->before = noLines_ ? CodeText() : CodeLines;
    whole->beforeIdentity = identity_;
    whole->after = std::move(text);
    whole->afterIdentity = std::move(identity);
    EditRecord edit{EditRecord::Kind::ReplaceWhole, 0, 0, QString()};
    edit.whole = std::move(whole);
    record(std::move(edit));
    CursorLine = CursorColumn = 0;
    announce(Change::View);
    endUndoStep();
    setScroll(0, 0);
}

void CodeBuffer::setFileName(const QString &name)
{
    if (identity_.name == name)
        return;
    identity_.name = name;
    announce(Change::Content);
}

void CodeBuffer::savedAs(const QString &name, TextEncoding encoding)
{
    identity_.name = name;
    identity_.origin = name;
    identity_.encoding = encoding;
    announce(Change::Content);
}

// ---- edits ------------------------------------------------------------------

void CodeBuffer::insertText(int line, int column, const QString &text)
{
    if (line < 0 || line >= lineCount() || column < 0 || column > CodeLines.at(line).size())
        outside("insert position");
    if (text.isEmpty())
        return;
    record({EditRecord::Kind::InsertText, line, column, text});
}

QString CodeBuffer::removeText(int line, int column, int length)
{
    if (line < 0 || line >= lineCount() || column < 0 || length < 0
        || qsizetype(column) + length > CodeLines.at(line).size())
        outside("removed range");
    if (length == 0)
        return QString();
    QString removed = CodeLines.at(line).mid(column, length);
    record({EditRecord::Kind::RemoveText, line, column, removed});
    return removed;
}

void CodeBuffer::insertLine(int index, const QString &text)
{
    if (index < 0 || index > lineCount())
        outside("line index");
    record({EditRecord::Kind::InsertLine, index, 0, text});
}

QString CodeBuffer::removeLine(int index)
{
    if (index < 0 || index >= lineCount())
        outside("line index");
    if (lineCount() == 1)
        throw std::logic_error("CodeBuffer: the only line cannot be removed");
    QString removed = CodeLines.at(index);
    record({EditRecord::Kind::RemoveLine, index, 0, removed});
    return removed;
}

void CodeBuffer::insertLines(int index, const QStringList &lines)
{
    if (index < 0 || index > lineCount())
        outside("line index");
    if (lines.isEmpty())
        return;
    EditRecord edit{EditRecord::Kind::InsertLines, index, 0, QString()};
    edit.lines = lines;
    record(std::move(edit));
}

QStringList CodeBuffer::removeLines(int index, int count)
{
    if (index < 0 || count < 0 || qsizetype(index) + count > lineCount())
        outside("line range");
    if (count == lineCount())
        throw std::logic_error("CodeBuffer: every line cannot be removed");
    if (count == 0)
        return {};
    EditRecord edit{EditRecord::Kind::RemoveLines, index, 0, QString()};
    edit.lines = CodeLines.mid(index, count);
    QStringList removed = edit.lines;
    record(std::move(edit));
    return removed;
}

void CodeBuffer::InsertAtCursor(const QString &text)
{
    insertText(CursorLine, CursorColumn, text);
    setCursor(CursorLine, CursorColumn + int(text.size()));
    ScrollToCursor();
}

void CodeBuffer::apply(const EditRecord &edit)
{
    ++revision_;
    noLines_ = false;
    announce(Change::Content);
    switch (edit.kind) {
    case EditRecord::Kind::InsertText:
        CodeLines.modifiableLine(edit.line).insert(edit.column, edit.text);
        break;
    case EditRecord::Kind::RemoveText:
        CodeLines.modifiableLine(edit.line).remove(edit.column, edit.text.size());
        break;
    case EditRecord::Kind::InsertLine:
        CodeLines.insert(edit.line, edit.text);
        break;
    case EditRecord::Kind::RemoveLine:
        CodeLines.remove(edit.line);
        break;
    case EditRecord::Kind::InsertLines:
        CodeLines.insert(edit.line, edit.lines);
        break;
    case EditRecord::Kind::RemoveLines:
        CodeLines.remove(edit.line, int(edit.lines.size()));
        break;
    case EditRecord::Kind::ReplaceWhole:
    case EditRecord::Kind::RestoreWhole: {
        const bool replace = edit.kind == EditRecord::Kind::ReplaceWhole;
        CodeLines = replace ? edit.whole->after : edit.whole->before;
        identity_ = replace ? edit.whole->afterIdentity : edit.whole->beforeIdentity;
        // The one empty line that stands in for text without lines.
        if (CodeLines.isEmpty()) {
            CodeLines.insert(0, QString());
            noLines_ = true;
        }
        break;
    }
    }
}

void CodeBuffer::record(EditRecord edit)
{
    const bool ownStep = !stepOpen_;
    if (ownStep)
        beginUndoStep();
    apply(edit);
    step_.records.push_back(std::move(edit));
    if (ownStep)
        endUndoStep();
}

// ---- undo steps -------------------------------------------------------------

void CodeBuffer::beginUndoStep(StepKind kind)
{
    if (stepOpen_)
        endUndoStep();
    step_ = EditStep{};
    step_.before = {CursorLine, CursorColumn};
    step_.typing = kind == StepKind::Typing;
    const EditStep *last = history_.lastUndo();
    joinLastStep_ = step_.typing && typingRunOpen_ && last && last->typing && !history_.canRedo()
        && last->after == step_.before;
    typingRunOpen_ = false;
    stepOpen_ = true;
}

void CodeBuffer::endUndoStep()
{
    if (!stepOpen_)
        return;
    stepOpen_ = false;
    step_.after = {CursorLine, CursorColumn};
    if (step_.records.empty()) {
        // A step that changed nothing leaves a run of typing open only if it
        // did not move the cursor either.
        typingRunOpen_ = joinLastStep_ && step_.after == step_.before;
    } else {
        typingRunOpen_ = step_.typing;
        if (joinLastStep_)
            history_.joinLast(std::move(step_));
        else
            history_.push(std::move(step_));
        step_ = EditStep{};
    }
    announcePending();
}

bool CodeBuffer::undo()
{
    endUndoStep();
    typingRunOpen_ = false;
    CodeModified = true;
    if (!history_.canUndo())
        return false;
    const EditStep &step = history_.stepBack();
    for (auto it = step.records.rbegin(); it != step.records.rend(); ++it)
        apply(it->inverse());
    setCursor(step.before.line, step.before.column);
    ScrollToCursor();
    return true;
}

bool CodeBuffer::redo()
{
    endUndoStep();
    typingRunOpen_ = false;
    CodeModified = true;
    if (!history_.canRedo())
        return false;
    const EditStep &step = history_.stepForward();
    for (const EditRecord &edit : step.records)
        apply(edit);
    setCursor(step.after.line, step.after.column);
    ScrollToCursor();
    return true;
}

// ---- cursor and scroll window -------------------------------------------------

int CodeBuffer::snapColumn(int line, int column) const
{
    const QString &text = CodeLines.at(line);
    column = std::clamp(column, 0, int(text.size()));
    return splitsPair(text, column) ? column - 1 : column;
}

void CodeBuffer::setCursor(int line, int column)
{
    const int newLine = std::clamp(line, 0, lineCount() - 1);
    const int newColumn = snapColumn(newLine, column);
    if (newLine == CursorLine && newColumn == CursorColumn)
        return;
    if (!stepOpen_)
        typingRunOpen_ = false;
    CursorLine = newLine;
    CursorColumn = newColumn;
    announce(Change::View);
}

void CodeBuffer::setScroll(int top, int left)
{
    top = std::max(top, 0);
    left = std::max(left, 0);
    if (top == TopLine && left == LeftColumn)
        return;
    TopLine = top;
    LeftColumn = left;
    announce(Change::View);
}

void CodeBuffer::setViewSize(int visibleColumns, int visibleLines)
{
    VisibleColumns = std::max(visibleColumns, 1);
    VisibleLines = std::max(visibleLines, 1);
}

void CodeBuffer::ScrollToCursor()
{
    int top = TopLine;
    int left = LeftColumn;
    if (CursorLine < top)
        top = CursorLine;
    else if (CursorLine >= top + VisibleLines)
        top = CursorLine - VisibleLines + 1;
    if (CursorColumn < left)
        left = CursorColumn;
    else if (CursorColumn >= left + VisibleColumns)
        left = CursorColumn - VisibleColumns + 1;
    setScroll(top, left);
}

// ---- selection ------------------------------------------------------------------

void CodeBuffer::setSelectionActive(bool active)
{
    if (SelectionActive == active)
        return;
    SelectionActive = active;
    announce(Change::View);
}

void CodeBuffer::setSelectionAnchor(int line, int column)
{
    if (SelectionAnchorLine == line && SelectionAnchorColumn == column)
        return;
    SelectionAnchorLine = line;
    SelectionAnchorColumn = column;
    announce(Change::View);
}

bool CodeBuffer::inSelection(int line, int column) const
{
    if (!SelectionActive || line < SelectionAnchorLine || line > CursorLine)
        return false;
    if (SelectionAnchorLine == CursorLine)
        return column >= SelectionAnchorColumn && column <= CursorColumn;
    if (line == SelectionAnchorLine)
        return column >= SelectionAnchorColumn;
    if (line == CursorLine)
        return column <= CursorColumn;
    return true;
}

} // namespace quill
