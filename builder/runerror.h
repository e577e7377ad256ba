#pragma once

#include "builder/pagegenerator.h"

#include <QString>

class QUrl;

namespace quill {

// A page's error as the run view's error bar shows it.
struct RunError {
    QString text;          // "file:line: message", or the message alone
    int programLine = -1;  // zero-based line of the program to go to; -1: none
    bool operator==(const RunError &) const = default;
};

// Maps an error that the page reported (its message, its one-based line and
// the address of the script it came from) back to where the line came from:
// a line of the program shows the program's name and line and can be jumped
// to; a line of an included file shows that file's name and line; a line of
// the template, a stub or a runtime script shows that script's file name and
// line, with no jump. An unnamed program is called "code".
RunError mapRunError(const QString &message, int line, const QString &source, const QUrl &pageUrl,
                     const GeneratedPage &page, const QString &programName);

} // namespace quill
