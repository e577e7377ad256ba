#include "editor/wordbeforecursor.h"

#include <algorithm>

namespace quill {

QString WordBeforeCursor(const QString &line, int cursorColumn)
{
    const int end = std::clamp(cursorColumn, 0, int(line.size()));
    int start = end;
    while (start > 0) {
        const char16_t code = line[start - 1].unicode();
        if (code < 95 || code > 122)
            break;
        --start;
    }
    return line.mid(start, end - start);
}

} // namespace quill
