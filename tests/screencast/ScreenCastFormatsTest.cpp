// The format table on pixels made here, byte by byte in each format's memory
// order: a swapped channel or an offset one byte off reads another color.
#include "platform/pipewire/ScreenCastFormats.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct Row {
    const char* name; // the letters say the bytes' order
    spa_video_format format;
};

const Row Rows[] = {{"BGRx", SPA_VIDEO_FORMAT_BGRx}, {"RGBx", SPA_VIDEO_FORMAT_RGBx},
                    {"BGRA", SPA_VIDEO_FORMAT_BGRA}, {"RGBA", SPA_VIDEO_FORMAT_RGBA},
                    {"xBGR", SPA_VIDEO_FORMAT_xBGR}, {"xRGB", SPA_VIDEO_FORMAT_xRGB}};

TEST(ScreenCastFormats, EachFormatReadsRedGreenBlueFromItsOwnBytes)
{
    for (const Row& row : Rows) {
        const auto format = ScreenCastFormatOf(row.format);
        ASSERT_TRUE(format) << row.name;
        std::uint8_t pixel[4];
        for (int i = 0; i < 4; ++i) {
            switch (row.name[i]) {
            case 'R':
                pixel[i] = 0x12;
                break;
            case 'G':
                pixel[i] = 0x34;
                break;
            case 'B':
                pixel[i] = 0x56;
                break;
            default:
                pixel[i] = 0x9A;
                break; // alpha or padding: never read
            }
        }
        EXPECT_EQ(ScreenCastColorAt(pixel, *format), 0x563412) << row.name;
    }
}

TEST(ScreenCastFormats, FormatsWithoutFourEightBitChannelsAreNotRead)
{
    EXPECT_FALSE(ScreenCastFormatOf(SPA_VIDEO_FORMAT_RGB));
    EXPECT_FALSE(ScreenCastFormatOf(SPA_VIDEO_FORMAT_NV12));
    EXPECT_FALSE(ScreenCastFormatOf(SPA_VIDEO_FORMAT_xRGB_210LE));
    EXPECT_FALSE(ScreenCastFormatOf(SPA_VIDEO_FORMAT_UNKNOWN));
}

} // namespace
