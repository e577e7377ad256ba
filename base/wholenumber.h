#pragma once

#include <QString>
#include <optional>

namespace quill {

// A whole number in decimal digits with an optional sign, or nothing: no
// spaces, no other characters, nothing beyond the range of int.
std::optional<int> toWholeNumber(const QString &text);

} // namespace quill
