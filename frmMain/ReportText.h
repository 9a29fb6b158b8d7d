#pragma once
// The color properties report: nine lines that copy the window's value fields.
#include <QByteArray>
#include <QString>

// The texts of the value fields, exactly as the fields show them.
struct ReportFields {
    QString Dec;   // edt5
    QString Hex;   // edt1
    QString Red;   // edt2
    QString Green; // edt3
    QString Blue;  // edt4
    QString Hue;   // edt6
    QString Sat;   // edt7
    QString Lum;   // edt8
};

// The report's bytes: a title line, then one "Label: text" line per field in
// the order Dec, Hex, Red, Green, Blue, Hue, Sat, Lum, each line ending in
// CR LF. No trimming or check of the texts. One byte per character in
// Latin-1, whatever encoding the save dialog shows; a character outside
// Latin-1 (a surrogate pair is one character) is written as "?".
QByteArray ReportText(const ReportFields& fields);
