// Where there is no X server to read from (a Wayland-only session, a broken DISPLAY):
// every read says so, quietly, and nothing aborts.
#include "ScriptedDesktopPixels.h"
#include "platform/x11/X11DesktopPixels.h"

#include <QFile>
#include <QString>
#include <gtest/gtest.h>
#include <type_traits>

// The window tests' stand-in must stay a complete DesktopPixels.
static_assert(!std::is_abstract_v<ScriptedDesktopPixels>);

namespace {

// A display number that no server on this machine listens on.
QByteArray displayWithoutServer()
{
    int number = 5000;
    while (QFile::exists(QString("/tmp/.X11-unix/X%1").arg(number)))
        ++number;
    return ":" + QByteArray::number(number);
}

TEST(DesktopPixelsWithoutDisplay, NoAccessNoPointerNoNoise)
{
    using Status = DesktopPixels::Pixel::Status;
    const QByteArray displays[] = {"", displayWithoutServer(), "not a display"};
    for (const QByteArray& display : displays) {
        SCOPED_TRACE("DISPLAY=" + display.toStdString());
        if (display.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", display);
        // Nothing to wait for between the tries: each read tries to connect.
        X11DesktopPixels pixels{std::chrono::milliseconds(0)};
        ::testing::internal::CaptureStderr();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(pixels.cursorPos(), std::nullopt);
            EXPECT_FALSE(pixels.screenReadable());
            const DesktopPixels::Pixel pixel = pixels.pixelAt(0, 0);
            EXPECT_EQ(pixel.status, Status::NoAccess);
            EXPECT_EQ(pixel.color, DesktopPixels::Pixel::NoColor);
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    }
}

} // namespace
