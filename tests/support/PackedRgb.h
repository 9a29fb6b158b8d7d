#pragma once
// A packed color (0x00BBGGRR) as the pixel of an image the tests grab.
#include "HSLUtils/HSLUtils.h"

#include <QRgb>

inline QRgb rgbOf(HSLUtils::TColor c)
{
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
