#pragma once
// The pixel formats a screen cast may come in, as one table: PipeWire's name
// for each 8-bit, four-byte format and where red, green and blue sit among a
// pixel's bytes (in memory order, whatever the machine's byte order).
#include "HSLUtils/HSLUtils.h"

#include <spa/param/video/raw.h>

#include <array>
#include <cstdint>
#include <optional>

struct ScreenCastFormat {
    spa_video_format format;
    int red, green, blue; // byte offsets within the pixel
};

inline constexpr int ScreenCastBytesPerPixel = 4;

inline constexpr std::array<ScreenCastFormat, 6> ScreenCastFormats{{
    {SPA_VIDEO_FORMAT_BGRx, 2, 1, 0},
    {SPA_VIDEO_FORMAT_RGBx, 0, 1, 2},
    {SPA_VIDEO_FORMAT_BGRA, 2, 1, 0},
    {SPA_VIDEO_FORMAT_RGBA, 0, 1, 2},
    {SPA_VIDEO_FORMAT_xBGR, 3, 2, 1},
    {SPA_VIDEO_FORMAT_xRGB, 1, 2, 3},
}};

// The table's row for `format`; nullopt for a format the program does not read.
inline std::optional<ScreenCastFormat> ScreenCastFormatOf(std::uint32_t format)
{
    for (const ScreenCastFormat& row : ScreenCastFormats)
        if (static_cast<std::uint32_t>(row.format) == format)
            return row;
    return std::nullopt;
}

// The packed color 0x00BBGGRR of the four bytes at `pixel`. Alpha is ignored:
// a desktop's pixels are opaque.
inline HSLUtils::TColor ScreenCastColorAt(const std::uint8_t* pixel, const ScreenCastFormat& format)
{
    return static_cast<HSLUtils::TColor>(pixel[format.red] | pixel[format.green] << 8 |
                                         pixel[format.blue] << 16);
}
