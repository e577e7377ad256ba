#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace quill {

// A text as a quoted argument of a call in a program (the name in
// sprite(1,"my cat",2)): written between double quotes, with a backslash
// before each backslash and double quote in it, as JavaScript reads it.
//
//   quotedArgument(u"say \"hi\"")   // "say \"hi\""
QString quotedArgument(QStringView text);

// A quoted argument read back: the text between the quote at `at` (' or ")
// and the next unescaped quote of the same kind, with \\, \' and \" read as
// the character after the backslash (any other backslash stays as it is),
// and where the argument ends, just past its closing quote. Nothing when
// the line has no closing quote.
struct QuotedArgument {
    QString text;
    qsizetype end = 0;
};
std::optional<QuotedArgument> readQuotedArgument(QStringView line, qsizetype at);

} // namespace quill
