// The picker's loupe end to end on a real X server: another client puts a square of
// distinct pixels on the screen, the real pointer rests on it, and the loupe's window
// on the screen shows those pixels around the pointer, one physical pixel a cell, also
// with the interface scaled by 2 and on the second of two monitors. Clicks go through
// the loupe to the window below it.
#include "PackedRgb.h"
#include "TestPlatform.h"
#include "TestScreen.h"
#include "frmMain/PickerLoupe.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "frmMain/TForm1.h"
#include "platform/x11/X11DesktopPixels.h"

#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using HSLUtils::TColor;
using Block = DesktopPixels::Block;

namespace {

constexpr int Side = 21;

// Every pixel of the square differs from every other in red and green.
TColor patternAt(int column, int row)
{
    return (column * 12) | (row * 12) << 8 | ((column + row) * 6) << 16;
}

std::vector<TColor> squarePixels()
{
    std::vector<TColor> colors;
    for (int row = 0; row < Side; ++row) {
        for (int column = 0; column < Side; ++column)
            colors.push_back(patternAt(column, row));
    }
    return colors;
}

// Until `done`, with a bound only against a hang.
bool waitFor(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 10000);
}

// Away from the window in the middle of the desktop; on the second monitor when there
// is one.
QPoint awayFromTheWindow(const TestScreen& screen)
{
    return screen.size().width() >= 3840 ? QPoint(2600, 600) : QPoint(300, 600);
}

struct Sampling {
    TestPlatform doubles;
    X11DesktopPixels desktop;
    Platform platform = doubles.with(desktop);
    TForm1 form{platform};

    Sampling()
    {
        form.show();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        QTest::mouseClick(form.btn6, Qt::LeftButton);
        EXPECT_TRUE(form.tmr1->isActive());
    }
};

class ClickCounter : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

} // namespace

TEST(LoupeOnTheDesktop, ShowsThePixelsAroundThePointerOnePhysicalPixelACell)
{
    TestScreen screen;
    const auto square = screen.showWindow(QRect(awayFromTheWindow(screen), QSize(Side, Side)),
                                          squarePixels(), Side);
    const QPoint pointer = screen.placeOf(square).topLeft() + QPoint(Side / 2, Side / 2);
    Sampling sampling;
    const PickerLoupe& loupe = sampling.form.Loupe();
    screen.movePointer(pointer);

    const TColor centre = patternAt(Side / 2, Side / 2);
    ASSERT_TRUE(
        waitFor([&] { return sampling.form.CurrentColor() == centre && loupe.isVisible(); }));
    EXPECT_EQ(loupe.placement(), QRect(pointer + QPoint(24, 24), PickerLoupe::loupeSize()));
    EXPECT_EQ(loupe.text(), sampling.form.edt1->text());
    EXPECT_EQ(QApplication::focusWidget(), sampling.form.btn6);

    // What the screen shows where the loupe stands, once it has painted.
    auto mismatches = [&] {
        const QImage shown = screen.grab(loupe.placement());
        std::vector<QString> wrong;
        for (int dy = -Block::Radius; dy <= Block::Radius; ++dy) {
            for (int dx = -Block::Radius; dx <= Block::Radius; ++dx) {
                const int ring = dx == 0 && dy == 0 ? 1 : 0;
                const QRect cell = PickerLoupe::cellRect(dx, dy).adjusted(ring, ring, -ring, -ring);
                const QRgb expected = rgbOf(patternAt(Side / 2 + dx, Side / 2 + dy));
                for (int y = cell.top(); y <= cell.bottom(); ++y) {
                    for (int x = cell.left(); x <= cell.right(); ++x) {
                        if (shown.pixel(x, y) != expected)
                            wrong.push_back(QStringLiteral("(%1,%2)").arg(x).arg(y));
                    }
                }
            }
        }
        return wrong;
    };
    waitFor([&] { return mismatches().empty(); });
    const std::vector<QString> wrong = mismatches();
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " pixels differ, the first at "
                               << wrong.front().toStdString();

    QTest::keyClick(sampling.form.btn6, Qt::Key_Return);
    EXPECT_FALSE(sampling.form.tmr1->isActive());
    EXPECT_FALSE(loupe.isVisible());
    EXPECT_EQ(sampling.form.CurrentColor(), centre);
}

TEST(LoupeOnTheDesktop, AClickWhereItStandsReachesTheWindowBelow)
{
    TestScreen screen;
    ClickCounter below;
    below.setWindowFlag(Qt::FramelessWindowHint);
    below.setGeometry(QRect(awayFromTheWindow(screen) / below.devicePixelRatio(), QSize(300, 300)));
    below.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&below));
    const QRect belowOnScreen = screen.placeOf(static_cast<std::uint32_t>(below.winId()));

    Sampling sampling;
    const PickerLoupe& loupe = sampling.form.Loupe();
    screen.movePointer(belowOnScreen.topLeft() + QPoint(20, 20));
    ASSERT_TRUE(waitFor([&] { return loupe.isVisible(); }));
    ASSERT_TRUE(belowOnScreen.contains(loupe.placement()));
    sampling.form.tmr1->stop(); // the loupe stays where it stands

    screen.click(loupe.placement().center());
    EXPECT_TRUE(waitFor([&] { return below.presses == 1; }));
    EXPECT_TRUE(loupe.isVisible());
}
