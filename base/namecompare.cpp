#include "base/namecompare.h"

#include <algorithm>

namespace quill {

namespace {

char16_t folded(QChar c)
{
    const char16_t code = c.unicode();
    return code >= u'a' && code <= u'z' ? char16_t(code - (u'a' - u'A')) : code;
}

} // namespace

int compareNames(QStringView left, QStringView right)
{
    const qsizetype common = std::min(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t a = folded(left[i]);
        const char16_t b = folded(right[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (left.size() == right.size())
        return 0;
    return left.size() < right.size() ? -1 : 1;
}

bool nameLess(QStringView left, QStringView right)
{
    return compareNames(left, right) < 0;
}

void sortNames(QStringList &names)
{
    // Stable, so names that compare equal ("a" and "A") keep their order.
    std::stable_sort(names.begin(), names.end(),
                     [](const QString &a, const QString &b) { return nameLess(a, b); });
}

} // namespace quill
