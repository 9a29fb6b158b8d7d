// Where a monitor lies in the portal's picture and which picture pixel a point
// of its window shows: one monitor at scale 1, 2 and 1.5, two side by side,
// and the loupe's rectangle mapped back onto the window.
#include "platform/ScreenshotLayout.h"

#include <gtest/gtest.h>

TEST(ScreenshotLayout, PartsFillThePictureInTheScreensLayout)
{
    struct Row {
        const char* name;
        QList<QRect> screens;
        QSize picture;
        QList<QRect> parts;
    };
    const Row rows[] = {
        {"one monitor, scale 1", {{0, 0, 1920, 1080}}, {1920, 1080}, {{0, 0, 1920, 1080}}},
        {"one monitor, logical size half the picture",
         {{0, 0, 960, 540}},
         {1920, 1080},
         {{0, 0, 1920, 1080}}},
        {"two side by side",
         {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}},
         {3840, 1080},
         {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}}},
        {"the second on the left, lower and smaller",
         {{1280, 0, 1920, 1080}, {0, 200, 1280, 720}},
         {3200, 1080},
         {{1280, 0, 1920, 1080}, {0, 200, 1280, 720}}},
        {"both at scale 2, reported logical",
         {{0, 0, 960, 540}, {960, 0, 960, 540}},
         {3840, 1080},
         {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}}},
        {"no screens", {}, {1920, 1080}, {}},
        {"no picture", {{0, 0, 1920, 1080}}, {}, {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PictureParts(row.screens, row.picture), row.parts) << row.name;
}

TEST(ScreenshotLayout, PointerMapsToThePhysicalPixelUnderIt)
{
    struct Row {
        const char* name;
        QPointF point;
        QSizeF window;
        QRect part;
        QPoint pixel;
    };
    const Row rows[] = {
        {"scale 1", {100, 200}, {1920, 1080}, {0, 0, 1920, 1080}, {100, 200}},
        {"scale 1, last pixel", {1919.9, 1079.9}, {1920, 1080}, {0, 0, 1920, 1080}, {1919, 1079}},
        {"scale 2", {100, 200}, {960, 540}, {0, 0, 1920, 1080}, {200, 400}},
        {"scale 2, half a logical pixel on",
         {100.5, 200.5},
         {960, 540},
         {0, 0, 1920, 1080},
         {201, 401}},
        // Qt reports a ratio of 2 at 1.5: only the sizes tell the truth.
        {"scale 1.5", {100, 200}, {1280, 720}, {0, 0, 1920, 1080}, {150, 300}},
        {"scale 1.5, between pixels", {101, 201}, {1280, 720}, {0, 0, 1920, 1080}, {151, 301}},
        // 647 / 1.5 in Wayland's steps of 1/256 falls just short of 431.333.
        {"scale 1.5, a step short", {431.332031, 362}, {1280, 720}, {0, 0, 1920, 1080}, {647, 543}},
        {"scale 1.5, the pixel before",
         {430.67, 361.2},
         {1280, 720},
         {0, 0, 1920, 1080},
         {646, 541}},
        {"second monitor", {10, 20}, {1920, 1080}, {1920, 0, 1920, 1080}, {1930, 20}},
        {"second monitor at scale 2", {10, 20}, {960, 540}, {1920, 0, 1920, 1080}, {1940, 40}},
        {"past the edge stays on the part",
         {-3, 2000},
         {1920, 1080},
         {0, 0, 1920, 1080},
         {0, 1079}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PicturePixelAt(row.point, row.window, row.part), row.pixel) << row.name;
}

// The loupe drawn at a picture pixel covers, on the window, the points that
// map back to that pixel: it shows one picture pixel per picture pixel.
TEST(ScreenshotLayout, WindowRectOfAPixelMapsBackToIt)
{
    const QRect part(1920, 0, 1920, 1080);
    for (const QSizeF window : {QSizeF(1920, 1080), QSizeF(960, 540), QSizeF(1280, 720)}) {
        const QRectF cell = WindowRectOf(QRect(2000, 500, 1, 1), window, part);
        const QPointF inside = cell.center();
        EXPECT_EQ(PicturePixelAt(inside, window, part), QPoint(2000, 500)) << window.width();
        EXPECT_EQ(PicturePixelAt(cell.topLeft() - QPointF(0.01, 0), window, part),
                  QPoint(1999, 500))
            << window.width();
    }
}
