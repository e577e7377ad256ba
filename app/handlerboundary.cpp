#include "app/handlerboundary.h"

#include "base/messagesink.h"
#include "base/quillerror.h"

#include <new>

namespace quill {

namespace {

void tell(MessageSink &messages, const QString &text) noexcept
{
    try {
        messages.showMessage(text);
    } catch (...) {
        // Not even the message could be shown; the program still goes on.
    }
}

} // namespace

void runHandler(MessageSink &messages, const std::function<void()> &handler) noexcept
{
    try {
        handler();
    } catch (const QuillError &error) {
        tell(messages, error.message());
    } catch (const std::bad_alloc &) {
        tell(messages, QStringLiteral("Out of memory."));
    } catch (const std::exception &error) {
        const QString what = QString::fromLocal8Bit(error.what());
        tell(messages, what.isEmpty() ? QStringLiteral("Error.") : what);
    } catch (...) {
        tell(messages, QStringLiteral("Error."));
    }
}

} // namespace quill
