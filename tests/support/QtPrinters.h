#pragma once
// Readable failure messages for Qt's text types: bytes as an escaped string.
#include "QStrings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"';
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r')
            *out << "\\r";
        else if (c == '\n')
            *out << "\\n";
        else if (byte < 0x20 || byte >= 0x7F)
            *out << "\\x"
                 << "0123456789ABCDEF"[byte >> 4] << "0123456789ABCDEF"[byte & 15];
        else
            *out << c;
    }
    *out << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out)
{
    *out << '{';
    for (const QString& text : texts) {
        PrintTo(text, out);
        *out << ' ';
    }
    *out << '}';
}
