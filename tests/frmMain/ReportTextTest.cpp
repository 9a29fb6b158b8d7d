// The report's bytes: nine CR LF lines that copy the fields as they are, one
// Latin-1 byte per character.
#include "frmMain/ReportText.h"
#include "PureRed.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// The report of pure red with one field's text changed.
ReportFields RedWith(QString ReportFields::*field, const QString& text)
{
    ReportFields fields = PureRedFields;
    fields.*field = text;
    return fields;
}

} // namespace

TEST(ReportText, PureRedIsNineLinesInTheirOrder)
{
    EXPECT_EQ(ReportText(PureRedFields), PureRedReport);
}

TEST(ReportText, EachLineCopiesItsFieldAsItIs)
{
    struct Row {
        const char* name;
        QString ReportFields::*field;
        QString text;
        QByteArray line; // the line that replaces the field's line in the red report
    };
    const Row rows[] = {
        {"TypedHexNeverTranslated", &ReportFields::Hex, "#abc", "Hex: #abc\r\n"},
        {"EmptiedRgbBox", &ReportFields::Green, "", "Green: \r\n"},
        {"SpacesKept", &ReportFields::Red, " 12 ", "Red:  12 \r\n"},
        {"BlueLabel", &ReportFields::Blue, "77", "Blue: 77\r\n"},
        {"Latin1Letter", &ReportFields::Hex, QString::fromUtf8("#\u00e9\u00ff"),
         "Hex: #\xe9\xff\r\n"},
        {"OutsideLatin1", &ReportFields::Red, QString::fromUtf8("1\u20ac2"), "Red: 1?2\r\n"},
        {"SurrogatePairIsOneCharacter", &ReportFields::Blue, QString::fromUtf8("a\U0001F600b"),
         "Blue: a?b\r\n"},
        {"LoneSurrogate", &ReportFields::Blue, QString(QChar(0xD800)) + "z", "Blue: ?z\r\n"},
        {"LoneSurrogateBeforePair", &ReportFields::Lum,
         QString(QChar(0xDC00)) + QString::fromUtf8("\U0001F600"), "Lum: ??\r\n"},
    };
    const QByteArray red = ReportText(PureRedFields);
    for (const Row& row : rows) {
        const QByteArray report = ReportText(RedWith(row.field, row.text));
        // The one line that differs from the red report, found by its label.
        const qsizetype start = red.indexOf(row.line.left(row.line.indexOf(' ') + 1));
        const qsizetype end = red.indexOf("\r\n", start) + 2;
        QByteArray expected = red;
        expected.replace(start, end - start, row.line);
        EXPECT_EQ(report, expected) << row.name;
    }
}
