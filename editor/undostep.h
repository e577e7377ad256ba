#pragma once

#include "editor/codebuffer.h"

namespace quill {

// One undo step for the guard's lifetime: the edits the buffer records in
// between undo and redo as one. The step is closed even when a command fails
// half-way, so the edits made so far are recorded and can be undone.
//
//   {
//       UndoStep step(buffer);      // beginUndoStep
//       buffer.insertText(0, 0, "x");
//   }                               // endUndoStep
class UndoStep {
public:
    explicit UndoStep(CodeBuffer &buffer, CodeBuffer::StepKind kind = CodeBuffer::StepKind::Command)
        : buffer_(buffer)
    {
        buffer_.beginUndoStep(kind);
    }
    ~UndoStep() { buffer_.endUndoStep(); }
    UndoStep(const UndoStep &) = delete;
    UndoStep &operator=(const UndoStep &) = delete;

private:
    CodeBuffer &buffer_;
};

} // namespace quill
