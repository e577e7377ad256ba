#pragma once

// The layer-1 captions of the default keyboard, row by row, as the layout
// pass gets them from the window.

#include "base/constants.h"

#include <QString>
#include <QStringList>

#include <array>

namespace quill::testsupport {

inline std::array<QString, KeyCount> defaultCaptions()
{
    const QStringList rows[8] = {
        {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"},
        {"!", "\"", "#", "$", "%", "&&", "'", "(", ")", "Bs"},
        {"@", "{", "}", "_", ";", ":", "+", "-", "*", "="},
        {",", ".", "/", "\\", "<", ">", "?", "[", "]", "|"},
        {"q", "w", "e", "r", "t", "y", "u", "i", "o", "p"},
        {"a", "s", "d", "f", "g", "h", "j", "k", "l", "Rt"},
        {"z", "x", "c", "v", "b", "n", "m", "Dl", "^^", ""},
        {"Sh", "Hm", "En", "Tm", " ", "", "Ky", "<-", "vv", "->"},
    };
    std::array<QString, KeyCount> captions;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 10; ++column)
            captions[row * 10 + column] = rows[row][column];
    }
    return captions;
}

} // namespace quill::testsupport
