#pragma once
// A packed color (0x00BBGGRR) as the pixel of an image the tests grab.
#include "platform/PackedColor.h"

inline QRgb rgbOf(HSLUtils::TColor c)
{
    return ToQRgb(c);
}
