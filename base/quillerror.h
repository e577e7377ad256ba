#pragma once

#include <QString>
#include <stdexcept>

namespace quill {

// The one error type that models throw. It carries a short message in the
// program's style (or the platform's own words for a file error); the window
// catches it once per handler and shows it in a message box.
class QuillError : public std::runtime_error {
public:
    explicit QuillError(const QString &message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString &message() const noexcept { return message_; }

private:
    QString message_;
};

} // namespace quill
