#include "editor/edithistory.h"

#include <utility>

namespace quill {

EditRecord EditRecord::inverse() const
{
    EditRecord undo = *this;
    switch (kind) {
    case Kind::InsertText: undo.kind = Kind::RemoveText; break;
    case Kind::RemoveText: undo.kind = Kind::InsertText; break;
    case Kind::InsertLine: undo.kind = Kind::RemoveLine; break;
    case Kind::RemoveLine: undo.kind = Kind::InsertLine; break;
    case Kind::InsertLines: undo.kind = Kind::RemoveLines; break;
    case Kind::RemoveLines: undo.kind = Kind::InsertLines; break;
    case Kind::ReplaceWhole: undo.kind = Kind::RestoreWhole; break;
    case Kind::RestoreWhole: undo.kind = Kind::ReplaceWhole; break;
    }
    return undo;
}

qsizetype EditRecord::bytes() const
{
    qsizetype size = qsizetype(sizeof(EditRecord)) + text.size() * qsizetype(sizeof(QChar));
    for (const QString &line : lines)
        size += qsizetype(sizeof(QString)) + line.size() * qsizetype(sizeof(QChar));
    // Both texts of a whole replacement: one of them lives only here.
    if (whole)
        size += qsizetype(sizeof(WholeText)) + whole->before.approximateBytes()
                + whole->after.approximateBytes();
    return size;
}

void EditHistory::dropRedo()
{
    for (const EditStep &step : redo_)
        bytes_ -= step.bytes;
    redo_.clear();
}

void EditHistory::push(EditStep step)
{
    dropRedo();
    step.bytes = qsizetype(sizeof(EditStep));
    for (const EditRecord &record : step.records)
        step.bytes += record.bytes();
    bytes_ += step.bytes;
    undo_.push_back(std::move(step));
    trim();
}

void EditHistory::joinLast(EditStep step)
{
    if (undo_.empty()) {
        push(std::move(step));
        return;
    }
    dropRedo();
    EditStep &last = undo_.back();
    for (EditRecord &record : step.records) {
        const qsizetype size = record.bytes();
        last.bytes += size;
        bytes_ += size;
        last.records.push_back(std::move(record));
    }
    last.after = step.after;
    trim();
}

const EditStep &EditHistory::stepBack()
{
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    return redo_.back();
}

const EditStep &EditHistory::stepForward()
{
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    return undo_.back();
}

void EditHistory::clear()
{
    undo_.clear();
    redo_.clear();
    bytes_ = 0;
}

void EditHistory::setLimit(qsizetype bytes)
{
    limit_ = bytes < 0 ? 0 : bytes;
    trim();
}

void EditHistory::trim()
{
    // Steps waiting to be redone are the furthest from the present text;
    // they go before the oldest undoable ones.
    while (bytes_ > limit_ && !redo_.empty()) {
        bytes_ -= redo_.front().bytes;
        redo_.erase(redo_.begin());
    }
    while (bytes_ > limit_ && !undo_.empty()) {
        bytes_ -= undo_.front().bytes;
        undo_.pop_front();
    }
}

} // namespace quill
