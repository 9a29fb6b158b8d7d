// On a real X server: the window sits in the middle of the whole desktop,
// across the border when the desktop has two monitors side by side.
#include "TestPlatform.h"
#include "frmMain/DesktopPlacement.h"
#include "frmMain/TForm1.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

TEST(Placement, CentredOnTheWholeDesktop)
{
    TestPlatform doubles;
    TForm1 form(doubles.platform);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    const QRect frame = form.frameGeometry();
    EXPECT_EQ(form.geometry().size(), QSize(250, 428));
    EXPECT_EQ(frame.left(), desktop.width() / 2 + desktop.left() - frame.width() / 2);
    EXPECT_EQ(frame.top(), desktop.height() / 2 + desktop.top() - frame.height() / 2);
    if (QGuiApplication::screens().size() == 2) {
        // Two 1920 x 1080 monitors: the window straddles x = 1920.
        EXPECT_EQ(desktop, QRect(0, 0, 3840, 1080));
        EXPECT_LT(frame.left(), 1920);
        EXPECT_GT(frame.right(), 1920);
    }
}

TEST(Placement, NeverLeftOfOrAboveTheDesktop)
{
    // A window larger than a desktop that starts at a negative corner.
    const QRect desktop(-1280, -200, 1280 + 800, 600);
    EXPECT_EQ(CentredOnDesktop(desktop, QSize(3000, 900)), QPoint(-1280, -200));
    // Halves are truncated toward zero: 2081 / 2 = 1040, 429 / 2 = 214.
    EXPECT_EQ(CentredOnDesktop(QRect(-1, 0, 2081, 600), QSize(251, 429)), QPoint(914, 86));
}
