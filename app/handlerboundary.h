#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace quill {

class MessageSink;

// The one place where a handler's failure ends: a QuillError shows its own
// message, running out of memory and any other exception a short one, and
// the program goes on with what it had. Nothing unwinds into Qt's event loop,
// which cannot pass an exception on.
//
//   runHandler(messages, [&] { btSaveClick(); });
void runHandler(MessageSink &messages, const std::function<void()> &handler) noexcept;

// The receiver of every signal the window and its pages handle: each handler
// runs inside runHandler, and none runs any more once end() was called, so
// a window being taken down never runs a handler on members already gone.
//
//   Handlers handlers(messages);
//   handlers.wire(button, &QPushButton::clicked, this, &SystemPage::btApplyClick);
//   handlers.wire(timer, &QTimer::timeout, [this] { keepUnsavedWork(); });
class Handlers {
public:
    explicit Handlers(MessageSink &messages) : messages_(messages) {}

    MessageSink &messages() const { return messages_; }

    // Connects a signal to a handler that takes the signal's arguments.
    template <typename Sender, typename Signal, typename Room, typename... Args>
    void wire(Sender *sender, Signal signal, Room *room, void (Room::*handler)(Args...))
    {
        QObject::connect(sender, signal, receiver_.get(), [this, room, handler](Args... args) {
            runHandler(messages_, [&] { (room->*handler)(args...); });
        });
    }

    // Connects a signal to a handler without arguments.
    template <typename Sender, typename Signal>
    void wire(Sender *sender, Signal signal, std::function<void()> handler)
    {
        QObject::connect(sender, signal, receiver_.get(),
                         [this, handler = std::move(handler)] { runHandler(messages_, handler); });
    }

    // Runs a handler inside the boundary now.
    void run(const std::function<void()> &handler) const { runHandler(messages_, handler); }

    // No handler runs after this.
    void end() { receiver_.reset(); }

private:
    MessageSink &messages_;
    std::unique_ptr<QObject> receiver_ = std::make_unique<QObject>();
};

} // namespace quill
