#include "base/wholenumber.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <vector>

namespace quill {
namespace {

struct NumberCase {
    const char *name;
    QString text;
    std::optional<int> expected;
};

TEST(ToWholeNumber, AcceptsOnlySignAndDecimalDigits)
{
    const std::vector<NumberCase> cases = {
        {"plain", "32", 32},
        {"leading zeros", "032", 32},
        {"zero", "0", 0},
        {"plus sign", "+7", 7},
        {"minus sign", "-5", -5},
        {"largest int", "2147483647", INT_MAX},
        {"smallest int", "-2147483648", INT_MIN},
        {"one past the largest", "2147483648", std::nullopt},
        {"one past the smallest", "-2147483649", std::nullopt},
        {"far too long", "99999999999999999999999", std::nullopt},
        {"empty", "", std::nullopt},
        {"blank", " ", std::nullopt},
        {"leading blank", " 3", std::nullopt},
        {"trailing blank", "3 ", std::nullopt},
        {"sign alone", "-", std::nullopt},
        {"two signs", "--3", std::nullopt},
        {"fraction", "3.0", std::nullopt},
        {"exponent", "1e3", std::nullopt},
        {"hexadecimal", "0x10", std::nullopt},
        {"letter", "x", std::nullopt},
        {"full-width digit", "\uFF13", std::nullopt},
        {"Arabic-Indic digit", "\u0663", std::nullopt},
    };
    for (const NumberCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(toWholeNumber(c.text), c.expected);
    }
}

} // namespace
} // namespace quill
