// An output's copy as the compositor hands it over, on buffers made here: each
// pixel format reduced to 8 bits a channel, rows bottom up, and the eight
// transforms that turn the buffer into what the output shows.
#include "platform/wlroots/FrozenFrame.h"
#include "Hex.h"

#include <QImage>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A buffer of 32-bit pixels, least significant byte first, with a row padded to `stride`.
std::vector<std::uint8_t> Buffer(const std::vector<std::vector<std::uint32_t>>& rows, int stride)
{
    std::vector<std::uint8_t> bytes(rows.size() * static_cast<std::size_t>(stride), 0xEE);
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            for (int i = 0; i < 4; ++i)
                bytes[y * stride + 4 * x + i] = static_cast<std::uint8_t>(rows[y][x] >> (8 * i));
    return bytes;
}

std::optional<FrozenFrame> Frame(std::uint32_t format,
                                 const std::vector<std::vector<std::uint32_t>>& rows,
                                 bool yInvert = false, int transform = 0)
{
    const int width = static_cast<int>(rows.front().size());
    const int stride = width * 4 + 8; // padded rows
    const std::vector<std::uint8_t> bytes = Buffer(rows, stride);
    return FrozenFrame::fromBuffer(format, QSize(width, static_cast<int>(rows.size())), stride,
                                   bytes.data(), bytes.size(), yInvert, transform);
}

} // namespace

TEST(FrozenFrame, EachFormatGivesTheColorItHolds)
{
    struct Row {
        const char* name;
        std::uint32_t format;
        std::uint32_t pixel;
        HSLUtils::TColor color; // packed 0x00BBGGRR
    };
    const Row rows[] = {
        {"XRGB8888", FrozenFrame::XRGB8888, 0xAA336699, 0x996633},
        {"ARGB8888, transparent", FrozenFrame::ARGB8888, 0x00336699, 0x996633},
        {"XBGR8888", FrozenFrame::XBGR8888, 0xAA336699, 0x336699},
        {"ABGR8888", FrozenFrame::ABGR8888, 0x80102030, 0x102030},
        // 10 bits: full red, green at 512 of 1023, no blue; the top two bits unused.
        {"XRGB2101010", FrozenFrame::XRGB2101010, 0xC0000000 | 1023u << 20 | 512u << 10, 0x0080FF},
        {"XBGR2101010", FrozenFrame::XBGR2101010, 0xC0000000 | 1023u << 20 | 512u << 10, 0xFF8000},
        {"XRGB2101010, low", FrozenFrame::XRGB2101010, 3u << 20 | 2u << 10 | 1u, 0x000000},
        {"XRGB2101010, 1019 of 1023", FrozenFrame::XRGB2101010, 1019u << 20, 0x0000FE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<FrozenFrame> frame = Frame(row.format, {{0, row.pixel}});
        ASSERT_TRUE(frame);
        EXPECT_EQ(hex(frame->colorAt({1, 0})), hex(row.color));
        EXPECT_EQ(hex(frame->colorAt({0, 0})), hex(HSLUtils::TColor(0)));
        EXPECT_EQ(frame->colorAt({2, 0}), std::nullopt);
    }
}

TEST(FrozenFrame, NoColorRatherThanAWrongOne)
{
    // RGB565, 16 bits a pixel: a format the picker does not read.
    EXPECT_FALSE(FrozenFrame::readable(0x36314752));
    EXPECT_FALSE(Frame(0x36314752, {{0, 0}}));
    EXPECT_FALSE(Frame(FrozenFrame::XRGB8888, {{0, 0}}, false, 8)); // no such transform
    // A buffer shorter than its rows.
    const std::vector<std::uint8_t> bytes(4 * 2 * 2 - 1);
    EXPECT_FALSE(FrozenFrame::fromBuffer(FrozenFrame::XRGB8888, QSize(2, 2), 8, bytes.data(),
                                         bytes.size(), false, 0));
    EXPECT_FALSE(FrozenFrame::fromBuffer(FrozenFrame::XRGB8888, QSize(2, 2), 4, bytes.data(),
                                         bytes.size(), false, 0)); // rows overlapping
}

TEST(FrozenFrame, AnInvertedFrameHoldsItsRowsBottomUp)
{
    const std::optional<FrozenFrame> frame =
        Frame(FrozenFrame::XRGB8888, {{0x000001, 0x000002}, {0x000003, 0x000004}}, true);
    ASSERT_TRUE(frame);
    EXPECT_EQ(hex(frame->colorAt({0, 0})), hex(HSLUtils::TColor(0x030000)));
    EXPECT_EQ(hex(frame->colorAt({1, 1})), hex(HSLUtils::TColor(0x020000)));
    // What the overlay shows is the right way up too.
    EXPECT_EQ(frame->buffer().pixel(0, 0) & 0xFFFFFF, 0x000003u);
}

// The output shows its buffer turned clockwise by the transform's quarter turns,
// then, for the flipped ones, mirrored left to right: as grim reads it on sway.
TEST(FrozenFrame, EachTransformShowsTheBufferTurnedAndMirrored)
{
    const std::vector<std::vector<std::uint32_t>> rows = {{0x01, 0x02, 0x03}, {0x04, 0x05, 0x06}};
    QImage buffer(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            buffer.setPixel(x, y, 0xFF000000 | rows[y][x]);
    for (int transform = 0; transform < 8; ++transform) {
        SCOPED_TRACE(transform);
        QImage shown = buffer.transformed(QTransform().rotate(90 * (transform & 3)));
        if (transform & 4)
            shown = shown.mirrored(true, false);
        const std::optional<FrozenFrame> frame =
            Frame(FrozenFrame::XRGB8888, rows, false, transform);
        ASSERT_TRUE(frame);
        ASSERT_EQ(frame->shownSize(), shown.size());
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                EXPECT_EQ(hex(frame->colorAt({x, y})),
                          hex(HSLUtils::TColor(qBlue(shown.pixel(x, y)) << 16)))
                    << x << "," << y;
        // The loupe drawn as shown lands on the buffer pixel read there.
        const QRect corner = frame->shownToBuffer().mapRect(QRectF(0, 0, 1, 1)).toAlignedRect();
        EXPECT_EQ(frame->buffer().pixel(corner.topLeft()), shown.pixel(0, 0));
    }
}

// The copy shown as it came, where nothing needs converting: the frame reads
// the compositor's memory itself, and what it cannot read that way it refuses.
TEST(FrozenFrame, OverTheCompositorsBufferWithNoCopy)
{
    const int stride = 3 * 4 + 4;
    std::vector<std::uint8_t> bytes = Buffer({{0x00336699, 0x00000000, 0x00FF8000}}, stride);
    const std::optional<FrozenFrame> frame = FrozenFrame::over(
        FrozenFrame::ARGB8888, QSize(3, 1), stride, bytes.data(), bytes.size(), false, 2);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->buffer().constBits(), bytes.data());
    // Turned half round: the last pixel shows first.
    EXPECT_EQ(hex(frame->colorAt({0, 0})), hex(HSLUtils::TColor(0x0080FF)));
    EXPECT_EQ(hex(frame->colorAt({2, 0})), hex(HSLUtils::TColor(0x996633)));
    EXPECT_FALSE(FrozenFrame::over(FrozenFrame::ARGB8888, QSize(3, 1), stride, bytes.data(),
                                   bytes.size(), true, 0)); // rows bottom up
    EXPECT_FALSE(FrozenFrame::over(FrozenFrame::XBGR8888, QSize(3, 1), stride, bytes.data(),
                                   bytes.size(), false, 0));
    EXPECT_FALSE(FrozenFrame::over(FrozenFrame::XRGB8888, QSize(3, 2), stride, bytes.data(),
                                   bytes.size(), false, 0)); // too few bytes
}
