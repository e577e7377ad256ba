#pragma once

#include "builder/pagegenerator.h"

#include <QString>
#include <QUrl>
#include <optional>
#include <vector>

namespace quill {

// A page's error as the run view's error bar shows it.
struct RunError {
    QString text;          // "file:line: message", or the message alone
    int programLine = -1;  // zero-based line of the program to go to; -1: none
    bool operator==(const RunError &) const = default;
};

// One frame of a script stack: the script's address and a one-based line.
struct StackFrame {
    QString source;
    int line = 0;
    bool operator==(const StackFrame &) const = default;
};

// The frames of a stack as the page's script engine writes it, innermost
// first: lines "    at name (address:line:column)" and "    at
// address:line:column". The message lines before them, and frames whose
// place is not a file or web address (code made by eval, scripts the view
// itself put into the page), are left out.
std::vector<StackFrame> stackFrames(const QString &stack);

// Where a line of the page's scripts came from, as the run view names it.
struct ScriptPlace {
    QString name;          // "cat:8", "lib:2", "temp.html:3", "quillfunc.js:40"
    bool usersCode = false;  // a line of the program or of a file it includes
    int programLine = -1;  // zero-based line of the program itself; -1: none
    bool operator==(const ScriptPlace &) const = default;
};

// The page a run shows, to name the places that the page reports: a line of
// the program shows the program's name and line and can be jumped to; a line
// of an included file shows that file's name and line; a line of the
// template, a stub or a script shows that script's file name and line, with
// no jump. An unnamed program is called "code".
//
//   RunPlaces places(std::move(page), QUrl::fromLocalFile(pagePath), "cat");
//   places.error("Uncaught ReferenceError: x is not defined", source, 12, stack);
class RunPlaces {
public:
    RunPlaces() = default;
    RunPlaces(GeneratedPage page, QUrl pageUrl, QString programName);

    // The place of one line of a script; nothing without an address or a line.
    std::optional<ScriptPlace> place(const QString &source, int line) const;

    // Where a report of the page belongs. With a stack, the innermost frame
    // in the user's code (the program or an included file) names the place
    // and the innermost frame in the program itself is where a tap goes, so
    // an error raised inside the runtime or an engine leads to the user's
    // line that called it; a stack without such frames names its innermost
    // frame. Without a stack, the line and script the report came from.
    ScriptPlace locate(const QString &source, int line, const QString &stack) const;

    // The report as the error bar shows it: its place, then its message.
    RunError error(const QString &message, const QString &source, int line,
                   const QString &stack = {}) const;

    // True when the script is the page itself or the runtime library: what
    // the program writes comes from there, never from an engine.
    bool writtenByPage(const QString &source) const;

private:
    GeneratedPage page_;
    QUrl pageUrl_;
    QUrl runtimeUrl_;
    QString programName_;
};

// A place and a message as one line: "cat:8: message", or the message alone.
QString placedText(const QString &place, const QString &message);

} // namespace quill
