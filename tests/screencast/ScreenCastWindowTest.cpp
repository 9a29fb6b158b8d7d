// The window picking through the screen cast, end to end: the picker button
// opens the session on the real chain, every field follows the pointer the
// test source scripts, and each way the pick ends leaves the window as the
// user expects.
#include "FormFixture.h"
#include "PickerButtonTexts.h"
#include "QtPrinters.h"
#include "ScreenCastChain.h"
#include "ShownFields.h"
#include "frmMain/TButton.h"
#include "platform/DesktopPickers.h"

#include <QTimer>

namespace {

using Kind = MessageBoxes::Kind;
using Shown = RecordingMessageBoxes::Shown;
const Shown Canvas{Kind::Error, "Canvas does not allow drawing."};

class ScreenCastWindow : public FormFixture {
protected:
    ScreenCastWindow() : FormFixture(screenCast) {}

    void SetUp() override
    {
        StandIn::script(QStringLiteral("share"));
        FormFixture::SetUp();
    }

    // Clicks the picker button over `monitors`; true once the ticks run.
    bool startOver(const std::vector<const TestMonitor*>& monitors)
    {
        StandIn::share(monitors);
        QTest::mouseClick(form->btn6, Qt::LeftButton);
        EXPECT_EQ(form->btn6->text(), Stop); // at once, before the share dialog answers
        return QTest::qWaitFor([this] { return form->tmr1->isActive(); }, 15000);
    }

    // Waits until every field shows `color`.
    ::testing::AssertionResult shows(HSLUtils::TColor color)
    {
        const ShownFields want = ShownFields::consistentWith(color);
        if (QTest::qWaitFor([&] { return ShownFields::of(*form) == want; }, 5000))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "the window shows " << ShownFields::of(*form) << ", expected " << want;
    }

    bool stopsByItself()
    {
        return QTest::qWaitFor([this] { return form->btn6->text() == Pick; }, 10000);
    }

    Platform screenCast{doubles.boxes,   doubles.colors,
                        doubles.chooser, doubles.saveDialog,
                        doubles.files,   doubles.desktop,
                        &doubles.portal, PickerMode::ScreenCast,
                        false,           QStringLiteral(HUVELLA_SCREENCAST_MODULE)};
};

TEST_F(ScreenCastWindow, EveryFieldFollowsTheScriptedPointerUntilEnter)
{
    TestMonitor left(QStringLiteral("BGRx"), {64, 48}, {0, 0}, 1);
    TestMonitor right(QStringLiteral("xRGB"), {64, 48}, {64, 0}, 2);
    ASSERT_TRUE(startOver({&left, &right}));
    ASSERT_TRUE(right.send(QStringLiteral("off")));
    ASSERT_TRUE(left.send(QStringLiteral("frame 10 20")));
    EXPECT_TRUE(shows(left.colorAt({10, 20})));
    ASSERT_TRUE(left.send(QStringLiteral("pointer 63 5")));
    EXPECT_TRUE(shows(left.colorAt({63, 5})));
    ASSERT_TRUE(left.send(QStringLiteral("off")));
    ASSERT_TRUE(right.send(QStringLiteral("frame 0 5")));
    EXPECT_TRUE(shows(right.colorAt({64, 5})));
    ASSERT_TRUE(right.send(QStringLiteral("pointer 30 40")));
    const HSLUtils::TColor last = right.colorAt({94, 40});
    EXPECT_TRUE(shows(last));

    press(form->btn6, Qt::Key_Return);
    EXPECT_EQ(form->btn6->text(), Pick);
    EXPECT_FALSE(form->tmr1->isActive());
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return StandIn::calls().contains(QStringLiteral("impl Session.Close")); }, 5000));
    QTest::qWait(200); // no tick comes after
    EXPECT_EQ(ShownFields::of(*form), ShownFields::consistentWith(last));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ScreenCastWindow, CancelledShareDialogChangesNothing)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {32, 32}, {0, 0}, 3);
    typeInto(form->edt1, QStringLiteral("#336699"));
    const ShownFields before = ShownFields::of(*form);
    StandIn::script(QStringLiteral("cancel"));
    StandIn::share({&monitor});
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    EXPECT_EQ(form->btn6->text(), Stop);
    EXPECT_TRUE(stopsByItself());
    EXPECT_FALSE(form->tmr1->isActive());
    EXPECT_EQ(ShownFields::of(*form), before);
    EXPECT_TRUE(boxes.shown.empty());
}

// "Stop sharing" on the desktop's side stops as Enter does: the color stays.
TEST_F(ScreenCastWindow, DesktopStoppingTheShareKeepsTheColor)
{
    TestMonitor monitor(QStringLiteral("RGBx"), {32, 32}, {0, 0}, 4);
    ASSERT_TRUE(startOver({&monitor}));
    ASSERT_TRUE(monitor.send(QStringLiteral("frame 7 9")));
    EXPECT_TRUE(shows(monitor.colorAt({7, 9})));
    StandIn::control(QStringLiteral("CloseSessions"));
    EXPECT_TRUE(stopsByItself());
    EXPECT_FALSE(form->tmr1->isActive());
    EXPECT_EQ(ShownFields::of(*form), ShownFields::consistentWith(monitor.colorAt({7, 9})));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ScreenCastWindow, SourceVanishingSaysSoOnceAndKeepsTheColor)
{
    TestMonitor monitor(QStringLiteral("BGRA"), {32, 32}, {0, 0}, 5);
    ASSERT_TRUE(startOver({&monitor}));
    ASSERT_TRUE(monitor.send(QStringLiteral("frame 3 4")));
    EXPECT_TRUE(shows(monitor.colorAt({3, 4})));
    monitor.vanish();
    EXPECT_TRUE(stopsByItself());
    QTest::qWait(200);
    EXPECT_EQ(boxes.shown, std::vector<Shown>{Canvas});
    EXPECT_EQ(ShownFields::of(*form), ShownFields::consistentWith(monitor.colorAt({3, 4})));
}

// Auto on a Wayland desktop without the wlroots protocols: screen casting
// where the portal sends the pointer as metadata...
TEST(ScreenCastAuto, TakenWhereThePortalSendsThePointer)
{
    TestPlatform doubles;
    doubles.platform.Picker = PickerMode::Portal;
    doubles.platform.ProbeCompositor = true;
    EXPECT_TRUE(MakeDesktopPicker(doubles.platform));
    EXPECT_EQ(doubles.platform.Picker, PickerMode::ScreenCast);
}

// ... and the portal's one-shot pick where it does not (run with such a portal).
TEST(ScreenCastNoMetadataAuto, OneShotPickWhereThePortalCannotSendThePointer)
{
    TestPlatform doubles;
    doubles.platform.Picker = PickerMode::Portal;
    doubles.platform.ProbeCompositor = true;
    EXPECT_TRUE(MakeDesktopPicker(doubles.platform));
    EXPECT_EQ(doubles.platform.Picker, PickerMode::Portal);
}

} // namespace
