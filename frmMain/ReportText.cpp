#include "frmMain/ReportText.h"

namespace {

// QString::toLatin1 would make two "?" of a character outside the Basic
// Multilingual Plane; the report counts characters, not UTF-16 units.
void AppendLatin1(QByteArray& out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        out.append(unit <= 0xFF ? char(unit) : '?');
    }
}

void AppendLine(QByteArray& out, const char* label, QStringView text)
{
    out.append(label);
    AppendLatin1(out, text);
    out.append("\r\n");
}

} // namespace

QByteArray ReportText(const ReportFields& fields)
{
    QByteArray out;
    out.append("Color Properties:\r\n");
    AppendLine(out, "Dec: ", fields.Dec);
    AppendLine(out, "Hex: ", fields.Hex);
    AppendLine(out, "Red: ", fields.Red);
    AppendLine(out, "Green: ", fields.Green);
    AppendLine(out, "Blue: ", fields.Blue);
    AppendLine(out, "Hue: ", fields.Hue);
    AppendLine(out, "Sat: ", fields.Sat);
    AppendLine(out, "Lum: ", fields.Lum);
    return out;
}
