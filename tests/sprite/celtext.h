#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// Cels written as rows of hexadecimal digits, one character per pixel:
//   cel({"0300", "3030", "0300", "0000"})
inline std::vector<std::uint8_t> cel(const QStringList &rows)
{
    std::vector<std::uint8_t> pixels;
    for (const QString &row : rows)
        for (const QChar c : row)
            pixels.push_back(static_cast<std::uint8_t>(QString(c).toInt(nullptr, 16)));
    return pixels;
}

inline QStringList rows(const std::vector<std::uint8_t> &pixels, int size)
{
    QStringList result;
    for (int y = 0; y < size; ++y) {
        QString row;
        for (int x = 0; x < size; ++x)
            row += QString::number(pixels[y * size + x], 16);
        result.append(row);
    }
    return result;
}
