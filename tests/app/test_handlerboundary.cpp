#include "app/handlerboundary.h"

#include "base/messagesink.h"
#include "base/quillerror.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <functional>
#include <new>
#include <stdexcept>
#include <vector>

namespace quill {
namespace {

class RecordingSink : public MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

class ThrowingSink : public MessageSink {
public:
    void showMessage(const QString &) override { throw std::runtime_error("no display"); }
};

TEST(HandlerBoundary, EveryFailureEndsAtTheBoundaryWithAMessage)
{
    struct Case {
        const char *name;
        std::function<void()> handler;
        QStringList messages;
    };
    const std::vector<Case> cases = {
        {"no failure", [] {}, {}},
        {"typed error shows its message", [] { throw QuillError("Saved."); }, {"Saved."}},
        {"out of memory", [] { throw std::bad_alloc(); }, {"Out of memory."}},
        {"other standard exception", [] { throw std::runtime_error("disk gone"); }, {"disk gone"}},
        {"anything else", [] { throw 42; }, {"Error."}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RecordingSink sink;
        runHandler(sink, c.handler);
        EXPECT_EQ(sink.messages, c.messages);
    }
}

TEST(HandlerBoundary, AFailingMessageBoxDoesNotEscapeEither)
{
    ThrowingSink sink;
    EXPECT_NO_THROW(runHandler(sink, [] { throw QuillError("x"); }));
}

TEST(HandlerBoundary, StateChangedBeforeTheFailureStaysChanged)
{
    RecordingSink sink;
    int steps = 0;
    runHandler(sink, [&] {
        ++steps;
        throw QuillError("Error.");
    });
    EXPECT_EQ(steps, 1);
}

} // namespace
} // namespace quill
