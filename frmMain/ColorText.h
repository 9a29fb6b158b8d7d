#pragma once
// The color's text forms: the HTML hex text #RRGGBB shown in the hex box, and
// the packed color built from three components through a "$BBGGRR" text.
#include "HSLUtils/HSLUtils.h"

#include <QString>
#include <optional>

class SystemColors;

// "#RRGGBB" of a resolved color: red from bits 0-7, green 8-15, blue 16-23,
// upper-case; the top byte is dropped.
QString HtmlColorText(HSLUtils::TColor resolved);

// The "$BBGGRR" text that an HTML hex text is read through. The first
// character is never looked at, and characters 2-3, 4-5, 6-7 are moved as they
// stand, so a short text gives a short composition ("#F00" gives "$0F0").
QString ComposeHtmlColor(const QString& text);

// The color an HTML hex text names, read strictly from its composition;
// nullopt when that is not a valid hexadecimal integer (the caller warns).
std::optional<HSLUtils::TColor> ParseHtmlColor(const QString& text);

// The packed color of three components 0-255, composed as "$BBGGRR" and read
// leniently. Components outside 0-255 give longer texts that are read as they
// stand (low 32 bits kept, 0 when the text no longer fits 64 bits).
HSLUtils::TColor ComposeColor(int red, int green, int blue);

// The red, green and blue bytes of a packed color (bits 0-7, 8-15, 16-23).
struct ColorComponents {
    int Red;
    int Green;
    int Blue;
};
ColorComponents SplitColor(HSLUtils::TColor color);

// A negative color is a reference to entry (c & 255) of the system color
// table; any other color is itself.
HSLUtils::TColor ResolveColor(HSLUtils::TColor c, const SystemColors& colors);
