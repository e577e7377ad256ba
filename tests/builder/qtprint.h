#pragma once

// Readable GoogleTest failure output for Qt texts (QStringList prints as a
// container of these).

#include <QString>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
