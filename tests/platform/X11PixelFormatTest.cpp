// Pixels as X servers lay them out, decoded to packed 0x00BBGGRR colors: the layouts the
// test servers do not have (other byte order, 3-byte pixels, other masks, 10-bit
// channels) and the ones no color can come from.
#include "platform/X11PixelFormat.h"
#include "Hex.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Layout {
    int bitsPerPixel;
    bool msbFirst;
    std::uint32_t red, green, blue;
};
constexpr Layout rgb32Lsb{32, false, 0xFF0000, 0x00FF00, 0x0000FF};
constexpr Layout rgb32Msb{32, true, 0xFF0000, 0x00FF00, 0x0000FF};
constexpr Layout rgb24Lsb{24, false, 0xFF0000, 0x00FF00, 0x0000FF};
constexpr Layout bgr32Lsb{32, false, 0x0000FF, 0x00FF00, 0xFF0000};
constexpr Layout rgb565Lsb{16, false, 0xF800, 0x07E0, 0x001F};
constexpr Layout rgb565Msb{16, true, 0xF800, 0x07E0, 0x001F};
constexpr Layout rgb30Lsb{32, false, 0x3FF00000, 0x000FFC00, 0x000003FF};

struct Row {
    std::string name;
    Layout layout;
    std::vector<std::uint8_t> bytes;
    std::optional<HSLUtils::TColor> expected;
};

void expectRows(const std::vector<Row>& rows)
{
    for (const Row& row : rows) {
        const Layout& l = row.layout;
        const X11PixelFormat format(l.bitsPerPixel, l.msbFirst, l.red, l.green, l.blue);
        EXPECT_EQ(hex(format.decode(row.bytes)), hex(row.expected)) << row.name;
    }
}

TEST(X11PixelFormat, TrueColorLayouts)
{
    expectRows({
        {"32-bit, least significant byte first", rgb32Lsb, {0x56, 0x34, 0x12, 0x00}, 0x563412},
        {"32-bit, most significant byte first", rgb32Msb, {0x00, 0x12, 0x34, 0x56}, 0x563412},
        {"the unused byte is not a channel", rgb32Lsb, {0x56, 0x34, 0x12, 0xFF}, 0x563412},
        {"3-byte pixels", rgb24Lsb, {0x56, 0x34, 0x12}, 0x563412},
        {"red in the low bits", bgr32Lsb, {0x12, 0x34, 0x56, 0x00}, 0x563412},
        {"more bytes than the pixel", rgb24Lsb, {0x01, 0x02, 0x03, 0x04, 0x05}, 0x010203},
    });
}

TEST(X11PixelFormat, ChannelsOtherThanEightBitsScaleAsTheServerReportsThem)
{
    expectRows({
        {"565 white", rgb565Lsb, {0xFF, 0xFF}, 0xFFFFFF},
        {"565 red", rgb565Lsb, {0x00, 0xF8}, 0x0000FF},
        {"565 green", rgb565Lsb, {0xE0, 0x07}, 0x00FF00},
        {"565 blue", rgb565Lsb, {0x1F, 0x00}, 0xFF0000},
        {"565 red, most significant byte first", rgb565Msb, {0xF8, 0x00}, 0x0000FF},
        // 3 * 65535 / 31 = 6342, high byte 24; 16 * 65535 / 31 = 33824, high byte 132;
        // 1 * 65535 / 63 = 1040, high byte 4.
        {"565 low and middle values", rgb565Lsb, {0x30, 0x18}, 0x840418},
        // 512 * 65535 / 1023 = 32798, high byte 128; 4 * 65535 / 1023 = 256, high byte 1;
        // 3 * 65535 / 1023 = 192, high byte 0.
        {"10-bit full and half", rgb30Lsb, {0x00, 0x00, 0xF8, 0x3F}, 0x0080FF},
        {"10-bit low values", rgb30Lsb, {0x03, 0x00, 0x40, 0x00}, 0x000001},
    });
}

TEST(X11PixelFormat, NoColorFromUnreadableLayoutsOrShortImages)
{
    expectRows({
        {"too few bytes", rgb32Lsb, {0x56, 0x34, 0x12}, std::nullopt},
        {"nothing", rgb565Lsb, {}, std::nullopt},
        {"4 bits per pixel", {4, false, 0x4, 0x2, 0x1}, {0xFF}, std::nullopt},
        {"no blue", {32, false, 0xFF0000, 0xFF00, 0}, {0, 0, 0, 0}, std::nullopt},
        {"a mask in two pieces", {16, false, 0xF0F0, 0x0F00, 0x000F}, {0, 0}, std::nullopt},
        {"a mask wider than the pixel", {16, false, 0x1F000, 0x07E0, 0x001F}, {0, 0}, std::nullopt},
    });
}

// What the loupe draws comes back from the screen as the color it was drawn with.
TEST(X11PixelFormat, EncodesWhatDecodesBack)
{
    const HSLUtils::TColor colors[] = {0x000000, 0xFFFFFF, 0x563412, 0x0180FE, 0x7F7F80};
    for (const Layout& l : {rgb32Lsb, rgb32Msb, rgb24Lsb, bgr32Lsb}) {
        const X11PixelFormat format(l.bitsPerPixel, l.msbFirst, l.red, l.green, l.blue);
        for (const HSLUtils::TColor color : colors) {
            std::vector<std::uint8_t> bytes(4, 0xAA);
            ASSERT_TRUE(format.encode(color, bytes));
            EXPECT_EQ(hex(format.decode(bytes)), hex(color)) << l.bitsPerPixel << l.msbFirst;
        }
    }
    // Fewer bits: the nearest step. Red 0x18 is 2.9 of 31 steps, green 0x04 is 1.0 of 63,
    // blue 0x84 is 16.0 of 31: the bytes that decode as 0x840418 above.
    const X11PixelFormat rgb565(16, false, 0xF800, 0x07E0, 0x001F);
    std::vector<std::uint8_t> bytes(2);
    ASSERT_TRUE(rgb565.encode(0x840418, bytes));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x30, 0x18}));
    EXPECT_FALSE(rgb565.encode(0, std::span(bytes).first(1)));
}

} // namespace
