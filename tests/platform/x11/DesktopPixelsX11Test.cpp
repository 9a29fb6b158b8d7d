// On a real X server: exact colors put on the screen by another client, on the root
// window and by a Qt window of this process, read back under the real pointer. The same
// tests run on one monitor, on two monitors side by side, at 16 bits per pixel and with
// the interface scaled by Qt (QT_SCALE_FACTOR=2), where a pixel must still be the one
// physical pixel under the pointer.
#include "TestScreen.h"
#include "platform/PackedColor.h"
#include "platform/x11/X11DesktopPixels.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <climits>
#include <gtest/gtest.h>
#include <iomanip>
#include <ostream>
#include <xcb/xcb.h>

using Pixel = DesktopPixels::Pixel;
using HSLUtils::TColor;

void PrintTo(const Pixel& pixel, std::ostream* out)
{
    static constexpr const char* names[] = {"Color", "NoPixel", "NoAccess"};
    *out << names[static_cast<int>(pixel.status)] << " 0x" << std::hex << std::setw(8)
         << std::setfill('0') << static_cast<std::uint32_t>(pixel.color);
}

void PrintTo(const QPoint& point, std::ostream* out)
{
    *out << "(" << point.x() << ", " << point.y() << ")";
}

namespace {

Pixel color(TColor packed)
{
    return {Pixel::Status::Color, packed};
}

// Every pixel differs from its neighbours in every channel, and the primaries tell red
// from blue.
const std::vector<TColor> pattern = {
    0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00, //
    0xFF0000, 0x123456, 0x654321, 0x01FE80, //
    0x7F7F7F, 0x808080, 0xFEFFFE, 0x10EF20, //
};
constexpr int patternColumns = 4;
constexpr int patternRows = 3;

// A small X server of the test's own, to stop while a client is connected to it.
struct OwnXServer {
    OwnXServer()
    {
        // Xvfb picks a free display and writes its number to standard output.
        process.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "64x64x24"});
        QByteArray number;
        while (!number.endsWith('\n') && process.waitForReadyRead(10000))
            number += process.readAllStandardOutput();
        if (!number.trimmed().isEmpty())
            display = ":" + number.trimmed();
    }
    ~OwnXServer() { stop(); }
    void stop()
    {
        process.kill();
        process.waitForFinished();
    }

    QProcess process;
    QByteArray display;
};

class DesktopPixelsX11 : public ::testing::Test {
protected:
    // Reads as the picker's ticks do, with the pointer resting at `at` after it moved
    // there: the first ticks find it moved, the later ones at rest.
    void expectTicksAt(QPoint at, Pixel expected)
    {
        for (int tick = 1; tick <= 3; ++tick) {
            EXPECT_EQ(pixels.cursorPos(), at) << "tick " << tick;
            EXPECT_EQ(pixels.pixelAt(at.x(), at.y()), expected) << "tick " << tick;
        }
    }

    // Reads the whole pattern shown with its top-left pixel at `origin`, the pointer on
    // each pixel in turn.
    void expectPatternAt(QPoint origin)
    {
        SCOPED_TRACE(::testing::Message() << "pattern at " << origin.x() << "," << origin.y());
        const auto window = screen.showWindow(QRect(origin, QSize(patternColumns, patternRows)),
                                              pattern, patternColumns);
        for (int i = 0; i < static_cast<int>(pattern.size()); ++i) {
            const QPoint at = origin + QPoint(i % patternColumns, i / patternColumns);
            SCOPED_TRACE(::testing::Message() << "pointer at " << at.x() << "," << at.y());
            screen.movePointer(at);
            expectTicksAt(at, color(screen.shown(pattern[static_cast<std::size_t>(i)])));
        }
        screen.closeWindow(window);
    }

    TestScreen screen;
    X11DesktopPixels pixels;
};

TEST_F(DesktopPixelsX11, ReadsEachPixelOfOtherWindowsAnywhereOnTheDesktop)
{
    // Qt scales the interface when asked; the reads must not be.
    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    ASSERT_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), scale);

    const QSize desktop = screen.size();
    std::vector<QPoint> places = {
        {0, 0},
        {desktop.width() / 2 + 1, desktop.height() / 2 + 1}, // odd: between logical pixels
        {desktop.width() - patternColumns, desktop.height() - patternRows}, // the last pixel
    };
    const bool twoMonitors = desktop == QSize(3840, 1080);
    ASSERT_EQ(QGuiApplication::screens().size(), twoMonitors ? 2 : 1);
    if (twoMonitors) {
        places.emplace_back(1918, 500); // two columns on each monitor
        places.emplace_back(2901, 777); // inside the second monitor
    }
    for (const QPoint origin : places)
        expectPatternAt(origin);
}

TEST_F(DesktopPixelsX11, ReadsTheWallpaperAndThisProgramsOwnWindow)
{
    screen.setWallpaper(0x3366CC);
    screen.movePointer({700, 300});
    ASSERT_EQ(pixels.cursorPos(), QPoint(700, 300));
    EXPECT_EQ(pixels.pixelAt(700, 300), color(screen.shown(0x3366CC)));

    // Channels that 16-bit pixels hold exactly, so that Qt's conversion and the server's
    // agree at that depth too.
    QWidget own;
    own.setAutoFillBackground(true);
    own.setPalette(QPalette(QColor(0x00, 0x82, 0xFF)));
    own.setGeometry(200, 150, 120, 80);
    own.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&own));
    const QPoint middle = screen.placeOf(static_cast<std::uint32_t>(own.winId())).center();
    screen.movePointer(middle);
    ASSERT_EQ(pixels.cursorPos(), middle);
    const Pixel expected = color(screen.shown(0xFF8200));
    // Qt draws after the window is exposed: until it has.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return pixels.pixelAt(middle.x(), middle.y()) == expected; }, 10000));
    EXPECT_EQ(pixels.pixelAt(middle.x(), middle.y()), expected);
}

// With the pointer at rest the pixel under it comes with the pointer read; that pixel
// serves only the read that follows at once, for that point.
TEST_F(DesktopPixelsX11, ThePointerAtRestStillSeesTheScreenChange)
{
    const QPoint at(640, 480);
    const QRect spot(at - QPoint(1, 1), QSize(3, 3));
    const Pixel dark = color(screen.shown(0x112233));
    const Pixel light = color(screen.shown(0x445566));
    const auto under = screen.showWindow(spot, {0x112233}, 1);
    screen.movePointer(at);
    expectTicksAt(at, dark);

    const auto over = screen.showWindow(spot, {0x445566}, 1);
    EXPECT_EQ(pixels.pixelAt(at.x(), at.y()), light) << "a second read after a tick";

    expectTicksAt(at, light);
    ASSERT_EQ(pixels.cursorPos(), at);
    screen.closeWindow(over);
    QTest::qWait(20);
    EXPECT_EQ(pixels.pixelAt(at.x(), at.y()), dark) << "a read 20 ms after the pointer's";

    expectTicksAt(at, dark);
    ASSERT_EQ(pixels.cursorPos(), at);
    screen.setWallpaper(0x778899);
    EXPECT_EQ(pixels.pixelAt(at.x() + 5, at.y()), color(screen.shown(0x778899)))
        << "a read of another point";
    screen.closeWindow(under);
}

TEST_F(DesktopPixelsX11, PointsOffTheDesktopHaveNoPixel)
{
    const QSize desktop = screen.size();
    const QPoint outside[] = {
        {-1, 0},
        {0, -1},
        {desktop.width(), 0},
        {0, desktop.height()},
        {-100000, -100000},
        // The server takes 16-bit coordinates: these must not wrap round to (5, 5).
        {65536 + 5, 5},
        {5, 65536 + 5},
        {-65536 + 5, 5},
        {INT_MAX, INT_MIN},
    };
    // The server's refusals are answers here, not errors to report.
    ::testing::internal::CaptureStderr();
    for (const QPoint point : outside)
        EXPECT_EQ(pixels.pixelAt(point.x(), point.y()), Pixel{Pixel::Status::NoPixel})
            << point.x() << "," << point.y();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    // The refusals leave the connection as it was.
    screen.setWallpaper(0x0A0B0C);
    EXPECT_EQ(pixels.pixelAt(5, 5), color(screen.shown(0x0A0B0C)));
}

// A block holds the same pixels as one read each would, in one read: read with the
// pointer moving and at rest, at the desktop's corners and across two monitors.
TEST_F(DesktopPixelsX11, ABlockIsThePixelsAroundItsCentreAndOffTheDesktopIsOutside)
{
    using Block = DesktopPixels::Block;
    const QSize desktop = screen.size();
    const bool twoMonitors = desktop.width() >= 3840;
    const QPoint corners[] = {{0, 0},
                              {desktop.width() - patternColumns, desktop.height() - patternRows}};
    for (const QPoint origin : corners) {
        const auto window = screen.showWindow(QRect(origin, QSize(patternColumns, patternRows)),
                                              pattern, patternColumns);
        const QPoint centres[] = {origin + QPoint(1, 1), origin + QPoint(patternColumns - 1, 0)};
        for (const QPoint centre : centres) {
            SCOPED_TRACE(::testing::Message() << "centre " << centre.x() << "," << centre.y());
            screen.movePointer(centre);
            for (int tick = 1; tick <= 3; ++tick) {
                ASSERT_EQ(pixels.cursorPos(), centre);
                const Block block = pixels.blockAt(centre);
                EXPECT_EQ(block.pixel, pixels.pixelAt(centre.x(), centre.y())) << "tick " << tick;
                for (int dy = -Block::Radius; dy <= Block::Radius; ++dy) {
                    for (int dx = -Block::Radius; dx <= Block::Radius; ++dx) {
                        const Pixel alone = pixels.pixelAt(centre.x() + dx, centre.y() + dy);
                        EXPECT_EQ(block.at(dx, dy), alone.status == Pixel::Status::Color
                                                        ? alone.color
                                                        : Block::Outside)
                            << "tick " << tick << " cell " << dx << "," << dy;
                    }
                }
                const int left = twoMonitors && centre.x() >= 1920 ? 1920 : 0;
                EXPECT_EQ(block.monitor,
                          twoMonitors ? QRect(left, 0, 1920, 1080) : QRect(QPoint(0, 0), desktop));
            }
        }
        screen.closeWindow(window);
    }
    // Across the seam of two monitors every cell is on one of them.
    if (twoMonitors) {
        const Block block = pixels.blockAt(QPoint(1920, 500));
        EXPECT_EQ(std::count(block.cells.begin(), block.cells.end(), Block::Outside), 0);
    }
}

// While the pointer moves, its block comes with the pointer read, from the pixels around
// where the pointer was: it must still be the block around where the pointer is now.
TEST_F(DesktopPixelsX11, AMovingPointersBlockIsTheOneAroundWhereItIsNow)
{
    using Block = DesktopPixels::Block;
    const QPoint origin(700, 300);
    const auto window = screen.showWindow(QRect(origin, QSize(40, 40)), pattern, patternColumns);
    QPoint at = origin + QPoint(5, 5);
    screen.movePointer(at);
    ASSERT_EQ(pixels.cursorPos(), at);
    for (const QPoint step : {QPoint(3, 1), QPoint(-2, 4), QPoint(10, 10), QPoint(-8, 0)}) {
        at += step;
        SCOPED_TRACE(::testing::Message() << "pointer at " << at.x() << "," << at.y());
        screen.movePointer(at);
        ASSERT_EQ(pixels.cursorPos(), at);
        const Block block = pixels.blockAt(at);
        for (int dy = -Block::Radius; dy <= Block::Radius; ++dy) {
            for (int dx = -Block::Radius; dx <= Block::Radius; ++dx) {
                const Pixel alone = pixels.pixelAt(at.x() + dx, at.y() + dy);
                ASSERT_EQ(alone.status, Pixel::Status::Color);
                EXPECT_EQ(block.at(dx, dy), alone.color) << "cell " << dx << "," << dy;
            }
        }
    }
    screen.closeWindow(window);
}

// What the loupe is drawn on: the picture stands on the screen pixel for pixel, in the
// screen's own pixel layout, above the windows there and at any interface scale, and
// once hidden the screen shows what is beneath again.
TEST_F(DesktopPixelsX11, AnOverlayShowsItsPictureExactlyAndHidesAgain)
{
    const QPoint at(screen.size().width() - 200, 100);
    const auto below =
        screen.showWindow(QRect(at, QSize(patternColumns, patternRows)), {0x0A0B0C}, 1);
    QImage picture(patternColumns, patternRows, QImage::Format_RGB32);
    for (int i = 0; i < static_cast<int>(pattern.size()); ++i) {
        const TColor c = pattern[static_cast<std::size_t>(i)];
        picture.setPixel(i % patternColumns, i / patternColumns, ToQRgb(c));
    }
    ASSERT_TRUE(pixels.cursorPos()); // the connection the overlay is shown on
    ASSERT_TRUE(pixels.showOverlay(at, picture));
    for (int i = 0; i < static_cast<int>(pattern.size()); ++i) {
        const TColor c = pattern[static_cast<std::size_t>(i)];
        if (screen.shown(c) != c)
            continue; // a color this screen cannot show exactly
        const QPoint point = at + QPoint(i % patternColumns, i / patternColumns);
        EXPECT_EQ(pixels.pixelAt(point.x(), point.y()), color(c)) << point.x() << "," << point.y();
    }
    pixels.hideOverlay();
    EXPECT_EQ(pixels.pixelAt(at.x(), at.y()), color(screen.shown(0x0A0B0C)));
    screen.closeWindow(below);
}

// A window kept under the overlay is not asked to repaint what the overlay's moves
// uncover; one not kept, or no longer kept, is.
TEST_F(DesktopPixelsX11, AWindowKeptUnderTheOverlayIsNotAskedToRepaint)
{
    const QPoint at(300, 200);
    const auto window = screen.showWindow(QRect(at, QSize(200, 200)), {0x0A0B0C}, 1);
    // Another client watches the window's Expose events, as its owner would.
    xcb_connection_t* watcher = xcb_connect(nullptr, nullptr);
    const uint32_t exposure = XCB_EVENT_MASK_EXPOSURE;
    xcb_change_window_attributes(watcher, window, XCB_CW_EVENT_MASK, &exposure);
    free(xcb_get_input_focus_reply(watcher, xcb_get_input_focus(watcher), nullptr));
    const auto exposesAfterMoves = [&] {
        const QImage picture(40, 40, QImage::Format_RGB32);
        for (int step = 0; step < 4; ++step)
            pixels.showOverlay(at + QPoint(10 + 30 * step, 10), picture);
        pixels.hideOverlay();
        EXPECT_TRUE(pixels.cursorPos()); // a round trip: the server has done the moves
        free(xcb_get_input_focus_reply(watcher, xcb_get_input_focus(watcher), nullptr));
        int exposes = 0;
        while (xcb_generic_event_t* event = xcb_poll_for_event(watcher)) {
            exposes += (event->response_type & 0x7F) == XCB_EXPOSE ? 1 : 0;
            free(event);
        }
        return exposes;
    };
    ASSERT_TRUE(pixels.cursorPos());
    EXPECT_GT(exposesAfterMoves(), 0);
    pixels.keepUnderOverlay(window, true);
    EXPECT_EQ(exposesAfterMoves(), 0);
    pixels.keepUnderOverlay(window, false);
    EXPECT_GT(exposesAfterMoves(), 0);
    xcb_disconnect(watcher);
    screen.closeWindow(window);
}

// Without an X server reads fail fast; the connection is tried again only after the
// retry interval, and then the reads work.
TEST_F(DesktopPixelsX11, ConnectsAgainOnlyAfterTheRetryInterval)
{
    constexpr int retryMs = 1000;
    screen.setWallpaper(0x202020);
    screen.movePointer({50, 60});
    const Pixel gray = color(screen.shown(0x202020));
    const QByteArray display = qgetenv("DISPLAY");

    X11DesktopPixels later{std::chrono::milliseconds(retryMs)};
    qunsetenv("DISPLAY");
    QElapsedTimer sinceFailure;
    sinceFailure.start();
    EXPECT_EQ(later.pixelAt(50, 60), Pixel{Pixel::Status::NoAccess});
    qputenv("DISPLAY", display);
    EXPECT_EQ(later.cursorPos(), std::nullopt);
    const Pixel tooSoon = later.pixelAt(50, 60);
    if (sinceFailure.elapsed() < retryMs) {
        EXPECT_EQ(tooSoon, Pixel{Pixel::Status::NoAccess});
    }
    QTest::qWait(retryMs + 50);
    EXPECT_EQ(later.pixelAt(50, 60), gray);
    EXPECT_EQ(later.cursorPos(), QPoint(50, 60));

    // The same when the server goes away under a connection that worked.
    OwnXServer own;
    ASSERT_FALSE(own.display.isEmpty()) << "Xvfb did not start";
    qputenv("DISPLAY", own.display);
    X11DesktopPixels dropped{std::chrono::milliseconds(retryMs)};
    ASSERT_EQ(dropped.pixelAt(0, 0).status, Pixel::Status::Color);
    qputenv("DISPLAY", display);
    own.stop();
    sinceFailure.restart();
    EXPECT_EQ(dropped.cursorPos(), std::nullopt);
    EXPECT_FALSE(dropped.screenReadable()); // not only the pointer this time
    EXPECT_EQ(dropped.pixelAt(50, 60), Pixel{Pixel::Status::NoAccess});
    const Pixel stillTooSoon = dropped.pixelAt(50, 60);
    if (sinceFailure.elapsed() < retryMs) {
        EXPECT_EQ(stillTooSoon, Pixel{Pixel::Status::NoAccess});
    }
    QTest::qWait(retryMs + 50);
    EXPECT_EQ(dropped.cursorPos(), QPoint(50, 60));
    EXPECT_TRUE(dropped.screenReadable());
    EXPECT_EQ(dropped.pixelAt(50, 60), gray);
}

} // namespace
