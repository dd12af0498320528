// Lets GoogleTest print QStrings in failure messages.
#pragma once

#include <QString>

#include <ostream>

inline std::ostream &operator<<(std::ostream &os, const QString &s) {
    return os << s.toStdString();
}
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}
