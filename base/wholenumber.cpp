#include "base/wholenumber.h"

#include <climits>

namespace quill {

std::optional<int> toWholeNumber(const QString &text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // The magnitude may reach INT_MAX + 1 so that INT_MIN converts too.
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace quill
