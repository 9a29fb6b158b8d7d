// On a real X server: the window sits in the middle of the whole desktop by
// its outer frame, across the border when the desktop has two monitors side
// by side, and a message box in the middle of the screen. Run without a window
// manager and under one (HUVELLA_WINDOW_MANAGER set), which frames the windows.
#include "TestPlatform.h"
#include "frmMain/DesktopPlacement.h"
#include "frmMain/TForm1.h"
#include "platform/qt/QtMessageBoxes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

bool UnderAWindowManager()
{
    return qEnvironmentVariableIsSet("HUVELLA_WINDOW_MANAGER");
}

} // namespace

TEST(Placement, CentredOnTheWholeDesktop)
{
    TestPlatform doubles;
    TForm1 form(doubles.platform);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QRect firstSeen = form.geometry();
    QTest::qWait(300); // time for a late move, which would show as a jump
    EXPECT_EQ(form.geometry(), firstSeen);
    EXPECT_EQ(form.frameGeometry() != form.geometry(), UnderAWindowManager());

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

TEST(Placement, AMessageBoxIsCentredOnTheScreenByItsFrame)
{
    QRect frame, client, screen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        if (QTest::qWaitForWindowExposed(box)) {
            QTest::qWait(300);
            frame = box->frameGeometry();
            client = box->geometry();
            screen = box->screen()->geometry();
        }
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QtMessageBoxes().show(MessageBoxes::Kind::Warning,
                          QStringLiteral("The color value is incorrect !"));

    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame != client, UnderAWindowManager());
    EXPECT_LE((frame.center() - screen.center()).manhattanLength(), 1)
        << "frame centre " << frame.center().x() << "," << frame.center().y();
}

TEST(Placement, NeverLeftOfOrAboveTheDesktop)
{
    // A window larger than a desktop that starts at a negative corner.
    const QRect desktop(-1280, -200, 1280 + 800, 600);
    EXPECT_EQ(CentredOnDesktop(desktop, QSize(3000, 900)), QPoint(-1280, -200));
    // Halves are truncated toward zero: 2081 / 2 = 1040, 429 / 2 = 214.
    EXPECT_EQ(CentredOnDesktop(QRect(-1, 0, 2081, 600), QSize(251, 429)), QPoint(914, 86));
    // By the outer frame: a frame 1 px at the sides and bottom and 20 px on
    // top makes 252 x 449 around 250 x 428, whose corner goes to 834, 316.
    EXPECT_EQ(
        ClientCentredOnDesktop(QRect(0, 0, 1920, 1080), QSize(250, 428), QMargins(1, 20, 1, 1)),
        QPoint(835, 336));
    EXPECT_EQ(ClientCentredOnDesktop(QRect(0, 0, 1920, 1080), QSize(250, 428), QMargins()),
              CentredOnDesktop(QRect(0, 0, 1920, 1080), QSize(250, 428)));
}
