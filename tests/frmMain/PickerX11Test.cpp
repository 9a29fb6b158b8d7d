// End to end on a real X server: colors put on the screen by another client,
// the real pointer moved over them, sampling started with a click and stopped
// with Enter; every field then shows exactly the pixel under the pointer. The
// same test runs on one monitor, on the second of two monitors, and with the
// interface scaled by 2, where the color is still that of the one physical
// pixel under the pointer.
#include "ShownFields.h"
#include "TestPlatform.h"
#include "TestScreen.h"
#include "TimerTicks.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "frmMain/TForm1.h"
#include "platform/x11/X11DesktopPixels.h"
#include "sTrackBar/TsTrackBar.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using HSLUtils::TColor;

namespace {

// Neighbouring pixels differ in every channel.
const std::vector<TColor> tile = {0x0000FF, 0x123456, 0x00FF00, //
                                  0xFEFFFE, 0x336699, 0x010203, //
                                  0xFF0000, 0x808080, 0x7F7F7F};

} // namespace

TEST(PickerOnTheDesktop, StopsOnTheExactPixelUnderThePointer)
{
    TestScreen screen;
    // On the second monitor when there is one; away from the window, which
    // sits in the middle of the desktop.
    const QPoint origin = screen.size().width() >= 3840 ? QPoint(2600, 700) : QPoint(300, 700);
    const auto window = screen.showWindow(QRect(origin, QSize(3, 3)), tile, 3);
    screen.sync();

    TestPlatform doubles;
    X11DesktopPixels desktop;
    Platform platform{doubles.boxes,      doubles.colors, doubles.chooser,
                      doubles.saveDialog, doubles.files,  desktop};
    TForm1 form(platform);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        ASSERT_EQ(form.devicePixelRatio(), 2.0);
    }

    QTest::mouseClick(form.btn6, Qt::LeftButton);
    ASSERT_TRUE(form.tmr1->isActive());
    ASSERT_EQ(QApplication::focusWidget(), form.btn6);

    // Rest on each pixel of the middle row in turn; the last one is kept.
    TColor expected = 0;
    for (int column = 0; column < 3; ++column) {
        const QPoint at = screen.placeOf(window).topLeft() + QPoint(column, 1);
        screen.movePointer(at);
        screen.sync();
        expected = screen.shown(tile[3 + column]);
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.CurrentColor() == expected; }, 10000));
        ASSERT_EQ(form.CurrentColor(), expected) << "at column " << column;
    }
    ASSERT_TRUE(WaitForTicks(form.tmr1, 3)); // more ticks over the same pixel change nothing
    QTest::keyClick(form.btn6, Qt::Key_Return);
    EXPECT_FALSE(form.tmr1->isActive());
    EXPECT_EQ(form.btn6->text(), "Pick a color from desktop");

    EXPECT_EQ(ShownFields::of(form), ShownFields::consistentWith(expected));
    EXPECT_TRUE(doubles.boxes.shown.empty());
}
