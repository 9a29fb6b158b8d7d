#pragma once
// QString in tests: table rows hold u"" views (which may embed NUL), and
// GoogleTest prints QStrings as readable text in failure messages instead of
// raw bytes. Anything outside printable ASCII prints as a \u escape, so an
// embedded NUL, a tab or a full-width digit shows as what it is.
#include <QString>
#include <ostream>
#include <string_view>

inline QString Text(std::u16string_view text)
{
    return QStringView(text).toString();
}

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"';
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F) {
            *os << static_cast<char>(u);
        } else {
            *os << "\\u" << QString::number(u, 16).rightJustified(4, u'0').toStdString();
        }
    }
    *os << '"';
}
