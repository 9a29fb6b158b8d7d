// On a real X server with the real pointer: a button's hint shows after the
// pointer has rested 500 ms, hides 2500 ms later, and hides at once when the
// pointer leaves; the next button's hint needs its own rest.
#include "TestPlatform.h"
#include "app/StartUp.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "frmMain/TForm1.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

// Waits until the tip's visibility is `visible` (and, when visible, shows
// `text`); returns the milliseconds it took, or -1 after `limitMs`.
qint64 waitForTip(bool visible, const QString& text, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < limitMs) {
        if (QToolTip::isVisible() == visible && (!visible || QToolTip::text() == text))
            return clock.elapsed();
        QTest::qWait(10);
    }
    return -1;
}

} // namespace

TEST(Hints, ShowAfterRestHideAfterTimeOrOnLeaving)
{
    ConfigureApplication(*qApp);
    TestPlatform doubles;
    TForm1 form(doubles.platform);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    QCursor::setPos(form.btn5->mapToGlobal(QPoint(20, 12)));
    const qint64 shown = waitForTip(true, "Clear all fields", 3000);
    ASSERT_GE(shown, 450) << "the hint came before the pointer had rested 500 ms";
    const qint64 hidden = waitForTip(false, {}, 5000);
    EXPECT_GE(hidden, 2300) << "the hint went before its 2500 ms";
    EXPECT_LE(hidden, 4000);

    // Resting again on the same button shows nothing new until the pointer moves;
    // moving to the next button needs a fresh rest there.
    QCursor::setPos(form.btn5->mapToGlobal(QPoint(25, 12)));
    ASSERT_GE(waitForTip(true, "Clear all fields", 3000), 0);
    QElapsedTimer sinceMove;
    sinceMove.start();
    QCursor::setPos(form.btn7->mapToGlobal(QPoint(20, 12)));
    EXPECT_LE(waitForTip(false, {}, 1000), 150) << "the hint stayed after the pointer left";
    ASSERT_GE(waitForTip(true, "Save color value to a text file", 3000), 0);
    EXPECT_GE(sinceMove.elapsed(), 450);

    // Controls other than buttons and the swatch have no hint.
    QCursor::setPos(form.edt2->mapToGlobal(QPoint(10, 10)));
    EXPECT_EQ(waitForTip(true, QString(), 1200), -1);
}
