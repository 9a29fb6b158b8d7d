#include "platform/ClassicSystemColors.h"

#include <array>

namespace {

// Packed 0x00BBGGRR, so the hex digits read blue, green, red.
constexpr std::array<HSLUtils::TColor, 31> ClassicTable = {
    0x00C8D0D4, //  0 scroll bar                    212,208,200
    0x00A56E3A, //  1 desktop                        58,110,165
    0x006A240A, //  2 active caption                 10, 36,106
    0x00808080, //  3 inactive caption              128,128,128
    0x00C8D0D4, //  4 menu                          212,208,200
    0x00FFFFFF, //  5 window                        255,255,255
    0x00000000, //  6 window frame                    0,  0,  0
    0x00000000, //  7 menu text                       0,  0,  0
    0x00000000, //  8 window text                     0,  0,  0
    0x00FFFFFF, //  9 caption text                  255,255,255
    0x00C8D0D4, // 10 active border                 212,208,200
    0x00C8D0D4, // 11 inactive border               212,208,200
    0x00808080, // 12 application workspace         128,128,128
    0x006A240A, // 13 highlight                      10, 36,106
    0x00FFFFFF, // 14 highlighted text              255,255,255
    0x00C8D0D4, // 15 button face                   212,208,200
    0x00808080, // 16 button shadow                 128,128,128
    0x00808080, // 17 gray text                     128,128,128
    0x00000000, // 18 button text                     0,  0,  0
    0x00C8D0D4, // 19 inactive caption text         212,208,200
    0x00FFFFFF, // 20 button highlight              255,255,255
    0x00404040, // 21 3-D dark shadow                64, 64, 64
    0x00C8D0D4, // 22 3-D light                     212,208,200
    0x00000000, // 23 tooltip text                    0,  0,  0
    0x00E1FFFF, // 24 tooltip background            255,255,225
    0x00B5B5B5, // 25 alternate button face         181,181,181
    0x00800000, // 26 hot-tracked item                0,  0,128
    0x00F0CAA6, // 27 active caption gradient       166,202,240
    0x00C0C0C0, // 28 inactive caption gradient     192,192,192
    0x006A240A, // 29 menu highlight (flat menus off in the classic scheme) 10,36,106
    0x00C8D0D4, // 30 menu bar                      212,208,200
};

} // namespace

HSLUtils::TColor ClassicSystemColors::GetSysColor(int index) const
{
    if (index < 0 || index >= static_cast<int>(ClassicTable.size()))
        return 0;
    return ClassicTable[static_cast<std::size_t>(index)];
}
