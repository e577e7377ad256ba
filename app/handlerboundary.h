#pragma once

#include <functional>

namespace quill {

class MessageSink;

// The one place where a handler's failure ends: a QuillError shows its own
// message, running out of memory and any other exception a short one, and
// the program goes on with what it had. Nothing unwinds into Qt's event loop,
// which cannot pass an exception on.
//
//   runHandler(messages, [&] { btSaveClick(); });
void runHandler(MessageSink &messages, const std::function<void()> &handler) noexcept;

} // namespace quill
