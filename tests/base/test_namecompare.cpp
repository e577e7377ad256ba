#include "base/namecompare.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill {
namespace {

struct OrderCase {
    const char *name;
    QStringList given;
    QStringList sorted;
};

TEST(NameOrder, LettersIgnoreCaseOtherCharactersByCodePrefixesFirst)
{
    const std::vector<OrderCase> cases = {
        {"mixed case, digits and underscore", {"c", "_u", "abc", "B", "ab", "1x", "a"},
         {"1x", "a", "ab", "abc", "B", "c", "_u"}},
        {"underscore sorts after every letter", {"_", "z", "Z", "a"}, {"a", "z", "Z", "_"}},
        {"brackets between upper and lower case codes", {"a", "[", "Z"}, {"a", "Z", "["}},
        {"prefix first", {"cat_sample2", "cat_sample", "cat"}, {"cat", "cat_sample", "cat_sample2"}},
        {"equal names keep their order", {"A", "a", "A"}, {"A", "a", "A"}},
        {"non-ASCII by code", {"\u00e9", "e", "E"}, {"e", "E", "\u00e9"}},
        {"digits by code, not by value", {"10", "9", "1"}, {"1", "10", "9"}},
        {"empty first", {"a", ""}, {"", "a"}},
    };
    for (const OrderCase &c : cases) {
        SCOPED_TRACE(c.name);
        QStringList names = c.given;
        sortNames(names);
        EXPECT_EQ(names, c.sorted);
    }
}

TEST(NameOrder, CompareIsAntisymmetric)
{
    const QStringList names = {"", "a", "A", "ab", "B", "_", "1", "~", "\u00e9"};
    for (const QString &left : names)
        for (const QString &right : names)
            EXPECT_EQ(compareNames(left, right), -compareNames(right, left))
                << left.toStdString() << " vs " << right.toStdString();
}

} // namespace
} // namespace quill
