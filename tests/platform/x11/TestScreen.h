#pragma once
// The test's own client of the X server under test: it puts exact colors on the screen
// in windows of its own and on the root window, and moves the real pointer.
#include "HSLUtils/HSLUtils.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

class TestScreen {
public:
    TestScreen(); // on $DISPLAY; fails the test when there is none
    ~TestScreen();
    TestScreen(const TestScreen&) = delete;
    TestScreen& operator=(const TestScreen&) = delete;

    // The root window's size: the whole desktop, all monitors.
    QSize size() const { return FSize; }

    // The color the screen shows for `wanted` (0x00BBGGRR), as the server reports it for
    // the pixel value it gives that color: `wanted` itself at 24 bits, the nearest
    // representable color at 16.
    HSLUtils::TColor shown(HSLUtils::TColor wanted) { return allocate(wanted).shown; }

    // A window of this client at `at`, its pixels `colors` (row by row) repeated as a
    // tile. It stays above all that was there and keeps its pixels through exposures.
    std::uint32_t showWindow(QRect at, const std::vector<HSLUtils::TColor>& colors, int columns);
    void closeWindow(std::uint32_t window);
    void setWallpaper(HSLUtils::TColor color);
    // Where any window is on the screen, in the root window's pixels.
    QRect placeOf(std::uint32_t window);

    void movePointer(QPoint to);
    // A press and release of the left button at `at`, as the server's input: it goes to
    // the window there that takes input.
    void click(QPoint at);

    // The screen's pixels in `area` of the root window, at 24 bits per pixel.
    QImage grab(QRect area);

    // Returns once the server has carried out all of this client's requests.
    void sync();

private:
    struct Allocated {
        std::uint32_t pixel;
        HSLUtils::TColor shown;
    };
    Allocated allocate(HSLUtils::TColor wanted);

    xcb_connection_t* FXcb = nullptr;
    std::uint32_t FRoot = 0;
    std::uint32_t FColormap = 0;
    std::uint8_t FDepth = 0;
    QSize FSize;
};
