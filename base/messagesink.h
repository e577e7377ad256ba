#pragma once

#include <QString>

namespace quill {

// Where models send the short messages that the user must acknowledge
// ("Saved.", "Failed to open x"). The window shows each in a modal box with
// one OK button; tests record them.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const QString &text) = 0;
};

} // namespace quill
