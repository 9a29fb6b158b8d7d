#pragma once
// The save dialog's fields: what it shows, and what it remembers from one
// opening to the next. The window keeps one for its life; the dialog reads it
// and writes back FileName and EncodingIndex.
#include <QString>
#include <QStringList>

struct TSaveTextFileDialog {
    QString Title = QStringLiteral("Save color parameters");
    QString Filter = QStringLiteral("Text files (*.txt)|*.txt"); // "Name|pattern" pairs
    QString DefaultExt = QStringLiteral("txt"); // added to a name typed without one; no dot
    // A bare name at first; the full path last confirmed after that.
    QString FileName = QStringLiteral("Color.txt");
    QStringList Encodings = {QStringLiteral("ANSI"),    QStringLiteral("ASCII"),
                             QStringLiteral("Unicode"), QStringLiteral("Big Endian Unicode"),
                             QStringLiteral("UTF-8"),   QStringLiteral("UTF-7")};
    int EncodingIndex = 0;
};
