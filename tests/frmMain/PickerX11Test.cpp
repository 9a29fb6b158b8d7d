// End to end on a real X server: colors put on the screen by another client,
// the real pointer moved over them, sampling started with a click and stopped
// with Enter; every field then shows exactly the pixel under the pointer. The
// same test runs on one monitor, on the second of two monitors, and with the
// interface scaled by 2, where the color is still that of the one physical
// pixel under the pointer.
#include "TestPlatform.h"
#include "TestScreen.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "frmMain/TForm1.h"
#include "platform/X11DesktopPixels.h"
#include "sTrackBar/TsTrackBar.h"

#include <QElapsedTimer>
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

QString htmlOf(TColor c)
{
    return QStringLiteral("#%1%2%3")
        .arg(c & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

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
        QElapsedTimer clock;
        clock.start();
        while (form.CurrentColor() != expected && clock.elapsed() < 5000)
            QTest::qWait(20);
        ASSERT_EQ(form.CurrentColor(), expected) << "at column " << column;
    }
    QTest::qWait(120); // a few more ticks over the same pixel change nothing
    QTest::keyClick(form.btn6, Qt::Key_Return);
    EXPECT_FALSE(form.tmr1->isActive());
    EXPECT_EQ(form.btn6->text(), "Pick a color from desktop");

    int h = 0, s = 0, l = 0;
    HSLUtils::ColorToHslScaled(expected, h, s, l);
    EXPECT_EQ(form.CurrentColor(), expected);
    EXPECT_EQ(form.edt1->text(), htmlOf(expected));
    EXPECT_EQ(form.edt5->text(), QString::number(expected));
    EXPECT_EQ(form.edt2->text(), QString::number(expected & 0xFF));
    EXPECT_EQ(form.edt3->text(), QString::number((expected >> 8) & 0xFF));
    EXPECT_EQ(form.edt4->text(), QString::number((expected >> 16) & 0xFF));
    EXPECT_EQ(form.tb3->Position(), (expected >> 16) & 0xFF);
    EXPECT_EQ(form.edt6->text() + "," + form.edt7->text() + "," + form.edt8->text(),
              QStringLiteral("%1,%2,%3").arg(h).arg(s).arg(l));
    EXPECT_TRUE(doubles.boxes.shown.empty());
}
