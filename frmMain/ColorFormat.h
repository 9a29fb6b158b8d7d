#pragma once
// A color printed in one of its text forms, as the command line writes it: the
// texts are the ones the window's fields show for that color.
#include "HSLUtils/HSLUtils.h"
#include "frmMain/ReportText.h"

#include <QByteArray>
#include <QString>
#include <optional>

class SystemColors;

enum class ColorFormat {
    Hex,    // "#FF8000", as edt1 shows it
    Dec,    // "33023", as edt5
    Rgb,    // "255 128 0", as edt2 to edt4
    Hsl,    // "20 240 120", the scaled triple as edt6 to edt8
    Report, // the nine report lines, as the Save command writes them
};

// The format a name ("hex", "dec", "rgb", "hsl", "report") stands for; nullopt
// for any other text.
std::optional<ColorFormat> ColorFormatNamed(const QString& name);

// The texts of the eight value fields once the window has taken `color` in
// (translated, picked or chosen): the hex text of the resolved color, the
// decimal text of the color as given, its components and its scaled HSL.
ReportFields ShownFields(HSLUtils::TColor color, const SystemColors& colors);

// `color` in `format`: one line ending in "\n", or the report's bytes as they
// are (nine lines ending in CR LF).
QByteArray FormatColor(HSLUtils::TColor color, ColorFormat format, const SystemColors& colors);
