#pragma once
// A packed color 0x00BBGGRR as Qt's color or an image's pixel, and back. The
// packed value must already be resolved (not a system-color reference).
#include "HSLUtils/HSLUtils.h"

#include <QColor>

inline QColor ToQColor(HSLUtils::TColor color)
{
    return {color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF};
}

inline HSLUtils::TColor FromQColor(const QColor& color)
{
    return color.red() | color.green() << 8 | color.blue() << 16;
}

inline QRgb ToQRgb(HSLUtils::TColor color)
{
    return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

inline HSLUtils::TColor FromQRgb(QRgb pixel)
{
    return qRed(pixel) | qGreen(pixel) << 8 | qBlue(pixel) << 16;
}
