#pragma once

#include "builder/pagemessage.h"
#include "builder/runerror.h"

#include <QString>
#include <deque>
#include <optional>

namespace quill {

// One line of the run view's console.
struct RunLogLine {
    PageMessage::Level level = PageMessage::Level::Log;
    QString text;          // "cat:12: message", or the message alone
    int programLine = -1;  // zero-based line of the program a tap goes to; -1: none
    long long serial = 0;  // counts the lines of every run, never reused
    bool operator==(const RunLogLine &) const = default;
};

// What the page of one run wrote and threw, as the run view shows it: the
// console's last Capacity lines, each at its place in the user's code, and
// the first error with the count of those after it, for the error bar.
//
// Log lines count when the page or the runtime wrote them; those of the
// engines (their own chatter) are left out. Warnings and errors count from
// anywhere. An error that nothing caught comes twice, from the view's probe
// with its stack and then as the browser reports it: the second is dropped.
//
//   RunLog log;
//   log.start(RunPlaces(std::move(page), pageUrl, "cat"));
//   if (log.add(message).errorChanged) bar.show(log.firstError()->text, log.furtherErrors());
class RunLog {
public:
    static constexpr int Capacity = 500;
    // Longer texts are cut there, with an ellipsis.
    static constexpr int TextLimit = 1000;

    // Starts over for the page of a new run.
    void start(RunPlaces places);

    struct Change {
        bool lineAdded = false;
        bool errorChanged = false;  // the first error or the count after it
    };
    Change add(const PageMessage &message);

    const std::deque<RunLogLine> &lines() const { return lines_; }
    // The serial the next line will get; serials go on across runs.
    long long nextSerial() const { return added_; }
    const std::optional<RunError> &firstError() const { return firstError_; }
    int furtherErrors() const { return furtherErrors_; }

private:
    RunPlaces places_;
    std::deque<RunLogLine> lines_;
    long long added_ = 0;
    std::optional<RunError> firstError_;
    int furtherErrors_ = 0;
    // The last error reported with its stack, until the browser's own report
    // of it has come.
    std::optional<PageMessage> echo_;
};

// The count of further errors as the error bar shows it: "and 3 more".
QString furtherErrorsText(int count);

// A text cut to RunLog::TextLimit characters.
QString clippedText(const QString &text);

} // namespace quill
