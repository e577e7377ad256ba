#pragma once

#include <QString>

namespace quill {

// Where models send the short messages that the user must acknowledge
// ("Saved.", "Failed to open x"), and the few questions a command asks
// before it would overwrite something ("Replace NAME?"). The window shows
// each in a modal box, a message with one OK button and a question with Yes
// and No; tests record them and answer.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const QString &text) = 0;
    // True for yes. A sink that cannot ask answers no, which keeps whatever
    // the question was about as it is.
    virtual bool askQuestion(const QString &question)
    {
        (void)question;
        return false;
    }
};

} // namespace quill
