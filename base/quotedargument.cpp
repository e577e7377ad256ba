#include "base/quotedargument.h"

namespace quill {

QString quotedArgument(QStringView text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += u'"';
    for (const QChar c : text) {
        if (c == u'\\' || c == u'"')
            quoted += u'\\';
        quoted += c;
    }
    quoted += u'"';
    return quoted;
}

std::optional<QuotedArgument> readQuotedArgument(QStringView line, qsizetype at)
{
    const QChar quote = line[at];
    QuotedArgument argument;
    for (qsizetype i = at + 1; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == quote) {
            argument.end = i + 1;
            return argument;
        }
        if (c == u'\\' && i + 1 < line.size()) {
            const QChar next = line[i + 1];
            if (next == u'\\' || next == u'\'' || next == u'"') {
                argument.text += next;
                ++i;
                continue;
            }
        }
        argument.text += c;
    }
    return std::nullopt;
}

} // namespace quill
