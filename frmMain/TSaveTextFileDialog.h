#pragma once
// The save dialog's settings and memory for the life of the window.
#include <QString>
#include <QStringList>

struct TSaveTextFileDialog {
    QString Title = QStringLiteral("Save color parameters");
    QString Filter = QStringLiteral("Text files (*.txt)|*.txt");
    QString DefaultExt = QStringLiteral("txt");
    QString FileName = QStringLiteral("Color.txt"); // the full path once confirmed
    QStringList Encodings = {QStringLiteral("ANSI"),    QStringLiteral("ASCII"),
                             QStringLiteral("Unicode"), QStringLiteral("Big Endian Unicode"),
                             QStringLiteral("UTF-8"),   QStringLiteral("UTF-7")};
    int EncodingIndex = 0;
};
