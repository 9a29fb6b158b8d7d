// The frozen screens over a picture made here, on Qt's offscreen platform: its
// one screen shows a picture twice its size, as a monitor at scale 2 does. The pointer aims at the
// picture's physical pixel, the arrow keys move it by one, Enter and a left click pick it, Escape
// and a right click cancel; the loupe is drawn on the window where it stands, from the picture.
#include "platform/portal/FrozenScreens.h"
#include "Hex.h"
#include "frmMain/PickerLoupe.h"
#include "platform/PackedColor.h"
#include "platform/portal/FrozenScreenWindow.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Every pixel its own color: red and green the low bits of x and y, blue their high bits.
HSLUtils::TColor ColorAt(int x, int y)
{
    return (x & 0xFF) | (y & 0xFF) << 8 | ((x >> 8) | (y >> 8) << 4) << 16;
}

QImage Picture(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const HSLUtils::TColor c = ColorAt(x, y);
            picture.setPixel(x, y, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
        }
    return picture;
}

struct Ended {
    bool done = false;
    FrozenScreens::Outcome outcome = FrozenScreens::Outcome::Cancelled;
    HSLUtils::TColor color = 0;
};

class FrozenScreensTest : public ::testing::Test {
protected:
    FrozenScreensTest()
        : screens(Picture(QGuiApplication::primaryScreen()->geometry().size() * 2),
                  QGuiApplication::screens())
    {
        screens.finished = [this](FrozenScreens::Outcome outcome, HSLUtils::TColor color) {
            ended = {true, outcome, color};
        };
    }

    FrozenScreenWindow& window() { return *screens.windows().front(); }

    // The window shown, and the pointer's entering it (with wherever the last test
    // left the pointer) delivered.
    static bool exposed(FrozenScreenWindow& window)
    {
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        QCoreApplication::processEvents();
        return true;
    }
    bool exposed() { return exposed(window()); }

    // Waits for the ending, which comes from the event loop; a bound against a hang only.
    bool waitForEnd()
    {
        const QDeadlineTimer bound(20000);
        while (!ended.done && !bound.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return ended.done;
    }

    FrozenScreens screens;
    Ended ended;
};

} // namespace

TEST_F(FrozenScreensTest, ThePointerAimsAtThePicturesPhysicalPixel)
{
    ASSERT_EQ(screens.windows().size(), 1u);
    ASSERT_TRUE(exposed());
    QTest::mouseMove(window().windowHandle(), QPoint(300, 250));
    EXPECT_EQ(screens.cursorPos(), QPoint(600, 500));
    // A screen reader hears the color aimed at.
    EXPECT_EQ(window().accessibleDescription(),
              QColor(ToQColor(ColorAt(600, 500))).name().toUpper());
    const DesktopPixels::Block block = screens.blockAt(QPoint(600, 500));
    EXPECT_EQ(hex(block.pixel.color), hex(ColorAt(600, 500)));
    EXPECT_EQ(hex(block.at(-7, 7)), hex(ColorAt(593, 507)));
    EXPECT_EQ(block.monitor, QRect(QPoint(0, 0), window().size() * 2));
    // Off the picture there is no pixel, and the block says so.
    const int right = window().width() * 2 - 1;
    EXPECT_EQ(screens.pixelAt(right + 1, 0).status, DesktopPixels::Pixel::Status::NoPixel);
    EXPECT_EQ(screens.blockAt(QPoint(right, 0)).at(1, 0), DesktopPixels::Block::Outside);
}

TEST_F(FrozenScreensTest, EnterAfterArrowStepsPicksThePixelStepped)
{
    ASSERT_TRUE(exposed());
    QTest::mouseMove(window().windowHandle(), QPoint(10, 20));
    for (const Qt::Key key :
         {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up, Qt::Key_Up})
        QTest::keyClick(&window(), key);
    EXPECT_EQ(screens.cursorPos(), QPoint(21, 39));
    QTest::keyClick(&window(), Qt::Key_Enter);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(ended.outcome, FrozenScreens::Outcome::Picked);
    EXPECT_EQ(hex(ended.color), hex(ColorAt(21, 39)));
    EXPECT_FALSE(window().isVisible());
}

TEST_F(FrozenScreensTest, ArrowStepsStopAtThePicturesEdge)
{
    ASSERT_TRUE(exposed());
    QTest::mouseMove(window().windowHandle(), QPoint(1, 1)); // picture pixel (2, 2)
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&window(), Qt::Key_Left);
        QTest::keyClick(&window(), Qt::Key_Up);
    }
    EXPECT_EQ(screens.cursorPos(), QPoint(0, 0));
}

TEST_F(FrozenScreensTest, ALeftClickPicksUnderThePointer)
{
    ASSERT_TRUE(exposed());
    QTest::mouseMove(window().windowHandle(), QPoint(5, 5));
    QTest::keyClick(&window(), Qt::Key_Right); // the click's own point counts
    QTest::mouseClick(window().windowHandle(), Qt::LeftButton, {}, QPoint(400, 300));
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(ended.outcome, FrozenScreens::Outcome::Picked);
    EXPECT_EQ(hex(ended.color), hex(ColorAt(800, 600)));
}

TEST_F(FrozenScreensTest, EscapeAndARightClickCancel)
{
    ASSERT_TRUE(exposed());
    QTest::mouseMove(window().windowHandle(), QPoint(5, 5));
    QTest::keyClick(&window(), Qt::Key_Escape);
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(ended.outcome, FrozenScreens::Outcome::Cancelled);

    FrozenScreens other(Picture(QGuiApplication::primaryScreen()->geometry().size() * 2),
                        QGuiApplication::screens());
    ended = {};
    other.finished = [this](FrozenScreens::Outcome outcome, HSLUtils::TColor color) {
        ended = {true, outcome, color};
    };
    FrozenScreenWindow& window = *other.windows().front();
    ASSERT_TRUE(exposed(window));
    QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, QPoint(5, 5));
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(ended.outcome, FrozenScreens::Outcome::Cancelled);
}

// The loupe, as the window's picker shows it, is drawn on the window beside the
// pointer from the picture; the rest of the window shows the picture.
TEST_F(FrozenScreensTest, TheLoupeIsDrawnBesideThePointerFromThePicture)
{
    ASSERT_TRUE(exposed());
    QTest::mouseMove(window().windowHandle(), QPoint(100, 100));
    PickerLoupe loupe(screens);
    ASSERT_TRUE(loupe.follow(*screens.cursorPos()));
    ASSERT_TRUE(loupe.isVisible());
    const QRect placed = loupe.placement(); // in picture pixels
    EXPECT_TRUE(placed.left() > 200 && placed.top() > 200) << "right of and below the pointer";

    const QImage shown = window().grab().toImage();
    ASSERT_EQ(shown.size(), window().size());
    // The inside of the loupe's ringed centre cell, halved onto the window, shows
    // the centre pixel.
    const QPoint inCentre = (placed.topLeft() + PickerLoupe::cellRect(0, 0).topLeft() +
                             QPoint(PickerLoupe::CellSize / 2, PickerLoupe::CellSize / 2)) /
                            2;
    EXPECT_EQ(hex(FromQRgb(shown.pixel(inCentre))), hex(ColorAt(200, 200)));
    // Away from the loupe, the picture itself: one of the four pixels each
    // window pixel covers.
    const HSLUtils::TColor away = FromQRgb(shown.pixel(QPoint(700, 50)));
    EXPECT_TRUE(away == ColorAt(1400, 100) || away == ColorAt(1401, 100) ||
                away == ColorAt(1400, 101) || away == ColorAt(1401, 101))
        << hex(away);
}
