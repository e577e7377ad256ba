#pragma once

// A message sink that keeps what it is told and answers questions as told.

#include "base/messagesink.h"

#include <QStringList>

namespace quill::testsupport {

class RecordingSink : public MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    bool askQuestion(const QString &question) override
    {
        messages << question;
        return answer;
    }
    QStringList messages;
    bool answer = false;
};

} // namespace quill::testsupport
