// Live sampling through the real chain: Debian's xdg-desktop-portal with the
// stand-in backend, the PipeWire daemon, and test sources as the monitors.
// The picker's desktop must follow each scripted pointer to the exact pixel.
#include "Hex.h"
#include "ScreenCastChain.h"

#include "platform/DesktopPixels.h"
#include "platform/portal/ScreenCastPicker.h"
#include "platform/portal/ScreenCastPortal.h"

#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <optional>

namespace {

using Ending = DesktopPicker::Ending;

class ScreenCast : public ::testing::Test {
protected:
    ScreenCastPicker picker{QStringLiteral(HUVELLA_SCREENCAST_MODULE)};
    bool started = false;
    std::optional<Ending> ended;

    void SetUp() override { StandIn::script(QStringLiteral("share")); }

    // Starts a pick over `monitors` and waits until it samples (or ends).
    bool startOver(const std::vector<const TestMonitor*>& monitors)
    {
        for (const TestMonitor* m : monitors)
            if (m->node() == 0)
                return false;
        StandIn::share(monitors);
        started = false;
        ended.reset();
        picker.start(nullptr, {[this] { started = true; }, [this](const Ending& e) { ended = e; }});
        (void)QTest::qWaitFor([this] { return started || ended; }, 15000);
        return started && !ended && picker.live() != nullptr;
    }

    // Waits until the desktop shows the pointer at `at` with the pattern's
    // pixel of `monitor` under it. The desktop lays its monitors out as it
    // likes: the point counts on the monitor, from the monitor's corner.
    ::testing::AssertionResult follows(QPoint at, const TestMonitor& monitor)
    {
        return followsOnMonitor(at - monitor.rect().topLeft(), monitor.size(),
                                PatternColorAt(at.x() - monitor.rect().x(),
                                               at.y() - monitor.rect().y(), monitor.number()));
    }

    ::testing::AssertionResult followsOnMonitor(QPoint local, QSize size, std::int32_t want)
    {
        std::optional<QPoint> pos;
        DesktopPixels::Pixel pixel;
        QRect seen;
        (void)QTest::qWaitFor(
            [&] {
                DesktopPixels* desktop = picker.live();
                if (desktop == nullptr)
                    return false;
                pos = desktop->cursorPos();
                if (!pos)
                    return false;
                pixel = desktop->pixelAt(pos->x(), pos->y());
                seen = desktop->blockAt(*pos).monitor;
                return seen.size() == size && *pos - seen.topLeft() == local &&
                       pixel.status == DesktopPixels::Pixel::Status::Color && pixel.color == want;
            },
            5000);
        if (pos && seen.size() == size && *pos - seen.topLeft() == local && pixel.color == want)
            return ::testing::AssertionSuccess();
        const QPoint on = pos ? *pos - seen.topLeft() : QPoint();
        return ::testing::AssertionFailure()
               << "pointer "
               << (pos ? QStringLiteral("(%1, %2)").arg(on.x()).arg(on.y()).toStdString() : "none")
               << " on a monitor of " << seen.width() << " x " << seen.height() << " with "
               << hex(pixel.color) << ", expected (" << local.x() << ", " << local.y() << ") with "
               << hex(want);
    }

    // Waits until the desktop says there is no point to read.
    bool noPoint()
    {
        return QTest::qWaitFor(
            [this] { return picker.live() != nullptr && !picker.live()->cursorPos(); }, 5000);
    }

    bool waitForEnd()
    {
        return QTest::qWaitFor([this] { return ended.has_value(); }, 10000);
    }
};

class ScreenCastFormat : public ScreenCast, public ::testing::WithParamInterface<const char*> {};

// Whole frames, each with the pointer elsewhere, in each format the program
// asks for: the exact pixel under the hotspot, channels in place.
TEST_P(ScreenCastFormat, FieldsFollowThePointerPixelForPixel)
{
    TestMonitor monitor(QString::fromLatin1(GetParam()), {64, 48}, {0, 0}, 1);
    ASSERT_TRUE(startOver({&monitor}));
    for (const QPoint at : {QPoint(0, 0), QPoint(17, 5), QPoint(63, 47), QPoint(40, 30)}) {
        ASSERT_TRUE(monitor.send(QStringLiteral("frame %1 %2").arg(at.x()).arg(at.y())));
        EXPECT_TRUE(follows(at, monitor));
    }
    picker.stop();
    EXPECT_FALSE(ended);
}

INSTANTIATE_TEST_SUITE_P(EachFormat, ScreenCastFormat,
                         ::testing::Values("BGRx", "RGBx", "BGRA", "RGBA", "xBGR", "xRGB"));

// A still screen: one whole frame, then buffers that only move the pointer,
// and a corrupted frame and garbled ones, whose pictures must not be read.
TEST_F(ScreenCast, PointerOnlyBuffersReadTheLastWholeFrame)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {80, 60}, {0, 0}, 2);
    ASSERT_TRUE(startOver({&monitor}));
    ASSERT_TRUE(monitor.send(QStringLiteral("frame 1 1")));
    EXPECT_TRUE(follows({1, 1}, monitor));
    for (const QPoint at : {QPoint(5, 7), QPoint(79, 59), QPoint(30, 40)}) {
        ASSERT_TRUE(monitor.send(QStringLiteral("pointer %1 %2").arg(at.x()).arg(at.y())));
        EXPECT_TRUE(follows(at, monitor));
    }
    ASSERT_TRUE(monitor.send(QStringLiteral("corrupt 12 13")));
    EXPECT_TRUE(follows({12, 13}, monitor));
    ASSERT_TRUE(monitor.send(QStringLiteral("garbled 14 15")));
    EXPECT_TRUE(follows({14, 15}, monitor));
    ASSERT_TRUE(monitor.send(QStringLiteral("garbled 79 59")));
    EXPECT_TRUE(follows({79, 59}, monitor));
}

// Two monitors side by side: the desktop's point and pixel come from the
// monitor the pointer is on, on either side of the seam, whichever monitor
// tells first that the pointer left or came.
TEST_F(ScreenCast, TwoMonitorsSideBySideWithThePointerCrossingTheSeam)
{
    TestMonitor left(QStringLiteral("BGRx"), {64, 48}, {0, 0}, 3);
    TestMonitor right(QStringLiteral("RGBx"), {64, 48}, {64, 0}, 4);
    ASSERT_TRUE(startOver({&left, &right}));
    ASSERT_TRUE(left.send(QStringLiteral("frame 63 10")));
    ASSERT_TRUE(right.send(QStringLiteral("off")));
    EXPECT_TRUE(follows({63, 10}, left));
    ASSERT_TRUE(left.send(QStringLiteral("off")));
    ASSERT_TRUE(right.send(QStringLiteral("frame 0 10")));
    EXPECT_TRUE(follows({64, 10}, right));
    ASSERT_TRUE(left.send(QStringLiteral("pointer 63 11")));
    ASSERT_TRUE(right.send(QStringLiteral("off")));
    EXPECT_TRUE(follows({63, 11}, left));
}

// Where the portal says the monitors are counts for nothing: KDE gives no
// position (both at the corner), a garbled answer one at the end of int.
// Each stream's own pointer and pixels are read, exactly.
TEST_F(ScreenCast, MonitorsArePlacedByTheirStreamsNotByThePortal)
{
    TestMonitor left(QStringLiteral("BGRx"), {64, 48}, {2147483600, 2147483600}, 11);
    TestMonitor right(QStringLiteral("BGRx"), {40, 30}, {0, 0}, 12);
    ASSERT_TRUE(startOver({&left, &right}));
    ASSERT_TRUE(left.send(QStringLiteral("frame 63 47")));
    ASSERT_TRUE(right.send(QStringLiteral("off")));
    EXPECT_TRUE(followsOnMonitor({63, 47}, left.size(), PatternColorAt(63, 47, 11)));
    ASSERT_TRUE(left.send(QStringLiteral("off")));
    ASSERT_TRUE(right.send(QStringLiteral("frame 39 0")));
    EXPECT_TRUE(followsOnMonitor({39, 0}, right.size(), PatternColorAt(39, 0, 12)));
}

// On the way to another monitor, the one left behind may repeat where the
// pointer left it before it says the pointer is gone: the monitor that tells
// of the pointer's new place wins at once.
TEST_F(ScreenCast, RepeatedOldPlaceDoesNotTakeThePointerBack)
{
    TestMonitor left(QStringLiteral("BGRx"), {64, 48}, {0, 0}, 13);
    TestMonitor right(QStringLiteral("BGRx"), {64, 48}, {64, 0}, 14);
    ASSERT_TRUE(startOver({&left, &right}));
    ASSERT_TRUE(right.send(QStringLiteral("off")));
    ASSERT_TRUE(left.send(QStringLiteral("frame 62 20")));
    EXPECT_TRUE(follows({62, 20}, left));
    ASSERT_TRUE(right.send(QStringLiteral("frame 3 20")));
    ASSERT_TRUE(left.send(QStringLiteral("frame 62 20")));
    EXPECT_TRUE(follows({67, 20}, right));
}

// The same monitor shared twice, one copy bringing only the pointer and no
// image: the pointer and the pixel come from the copy that has an image.
TEST_F(ScreenCast, MonitorSharedTwiceIsReadFromTheCopyWithAnImage)
{
    TestMonitor shown(QStringLiteral("BGRx"), {48, 32}, {0, 0}, 15);
    TestMonitor copy(QStringLiteral("BGRx"), {48, 32}, {0, 0}, 15);
    ASSERT_TRUE(startOver({&shown, &copy}));
    ASSERT_TRUE(shown.send(QStringLiteral("frame 7 9")));
    ASSERT_TRUE(copy.send(QStringLiteral("pointer 7 9")));
    EXPECT_TRUE(follows({7, 9}, shown));
    ASSERT_TRUE(shown.send(QStringLiteral("pointer 30 20")));
    ASSERT_TRUE(copy.send(QStringLiteral("pointer 30 20")));
    EXPECT_TRUE(follows({30, 20}, shown));
}

TEST_F(ScreenCast, PointerOnNoSharedMonitorGivesNoPoint)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {64, 48}, {100, 50}, 5);
    ASSERT_TRUE(startOver({&monitor}));
    ASSERT_TRUE(monitor.send(QStringLiteral("frame 10 10")));
    EXPECT_TRUE(follows({110, 60}, monitor));
    ASSERT_TRUE(monitor.send(QStringLiteral("off")));
    EXPECT_TRUE(noPoint());
    ASSERT_TRUE(monitor.send(QStringLiteral("pointer 3 4")));
    EXPECT_TRUE(follows({103, 54}, monitor));
    EXPECT_FALSE(ended);

    // The block around it near the monitor's corner: the pattern on the
    // monitor, nothing off it.
    const std::optional<QPoint> pointer = picker.live()->cursorPos();
    ASSERT_TRUE(pointer);
    const DesktopPixels::Block block = picker.live()->blockAt(*pointer);
    EXPECT_EQ(block.monitor.size(), monitor.rect().size());
    EXPECT_EQ(*pointer - block.monitor.topLeft(), QPoint(103, 54) - monitor.rect().topLeft());
    for (int dy = -DesktopPixels::Block::Radius; dy <= DesktopPixels::Block::Radius; ++dy)
        for (int dx = -DesktopPixels::Block::Radius; dx <= DesktopPixels::Block::Radius; ++dx) {
            const QPoint at(103 + dx, 54 + dy);
            const std::int32_t want =
                monitor.rect().contains(at) ? monitor.colorAt(at) : DesktopPixels::Block::Outside;
            ASSERT_EQ(hex(block.at(dx, dy)), hex(want))
                << "at (" << at.x() << ", " << at.y() << ")";
        }
}

// The session asks for every monitor with the pointer as metadata, for as
// long as the program runs; the second pick passes the grant back.
TEST_F(ScreenCast, SecondPickPassesTheRestoreToken)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {32, 32}, {0, 0}, 6);
    ASSERT_TRUE(startOver({&monitor}));
    picker.stop();
    EXPECT_TRUE(StandIn::calls().contains(
        QStringLiteral("impl SelectSources types=1 multiple=True cursor_mode=4 persist_mode=1 "
                       "restore=none")))
        << StandIn::calls().join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(picker.restoreToken().isEmpty());
    StandIn::script(QStringLiteral("share"));
    ASSERT_TRUE(startOver({&monitor}));
    EXPECT_TRUE(StandIn::calls().contains(
        QStringLiteral("impl SelectSources types=1 multiple=True cursor_mode=4 persist_mode=1 "
                       "restore=granted-monitors")))
        << StandIn::calls().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(monitor.send(QStringLiteral("frame 9 9")));
    EXPECT_TRUE(follows({9, 9}, monitor));
    picker.stop();
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return StandIn::calls().contains(QStringLiteral("impl Session.Close")); }, 5000));
}

// Streams that run and send no image (a desktop that missed drawing the
// monitor as its stream started) get one new session, with the grant restored
// and so no dialog, whose images are read; when that one sends none either,
// the pick fails (it has no one-shot pick to hand over to).
TEST_F(ScreenCast, StreamsWithNoImageAreAskedForOnceMore)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {32, 32}, {0, 0}, 6);
    const auto restored = [] {
        return StandIn::calls()
            .filter(QStringLiteral("impl SelectSources types=1 multiple=True cursor_mode=4 "
                                   "persist_mode=1 restore=granted-monitors"))
            .size();
    };
    int starts = 0;
    ASSERT_TRUE(startOver({&monitor}));
    picker.stop();
    picker.start(nullptr, {[&] { ++starts; }, [this](const Ending& e) { ended = e; }});
    ASSERT_TRUE(QTest::qWaitFor([&] { return starts == 1; }, 15000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return restored() == 2; }, 15000))
        << StandIn::calls().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(QTest::qWaitFor([this] { return picker.live() != nullptr; }, 15000));
    ASSERT_TRUE(monitor.send(QStringLiteral("frame 9 9")));
    EXPECT_TRUE(follows({9, 9}, monitor));
    EXPECT_EQ(starts, 1) << "the window was told twice that sampling starts";
    EXPECT_FALSE(ended);

    picker.stop();
    StandIn::script(QStringLiteral("share"));
    ASSERT_TRUE(startOver({&monitor}));
    ASSERT_TRUE(QTest::qWaitFor([this] { return ended.has_value(); }, 30000));
    EXPECT_EQ(ended->kind, Ending::Kind::Failed);
    EXPECT_EQ(restored(), 2) << "one new session, not more";
}

TEST_F(ScreenCast, CancelledDialogEndsThePickCancelled)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {32, 32}, {0, 0}, 7);
    StandIn::script(QStringLiteral("cancel"));
    EXPECT_FALSE(startOver({&monitor}));
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(ended->kind, Ending::Kind::Cancelled);
    EXPECT_FALSE(started);
    EXPECT_FALSE(picker.isRunning());
}

// A desktop that grants the share but names no monitor: nothing to sample.
TEST_F(ScreenCast, ShareOfNoMonitorFailsThePick)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {32, 32}, {0, 0}, 10);
    StandIn::script(QStringLiteral("nostreams"));
    EXPECT_FALSE(startOver({&monitor}));
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(ended->kind, Ending::Kind::Failed);
    EXPECT_FALSE(started);
}

// "Stop sharing" on the desktop's side: the pick ends, not as a failure.
TEST_F(ScreenCast, DesktopClosingTheSessionEndsThePick)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {32, 32}, {0, 0}, 8);
    ASSERT_TRUE(startOver({&monitor}));
    ASSERT_TRUE(monitor.send(QStringLiteral("frame 2 3")));
    EXPECT_TRUE(follows({2, 3}, monitor));
    StandIn::control(QStringLiteral("CloseSessions"));
    ASSERT_TRUE(waitForEnd());
    EXPECT_NE(ended->kind, Ending::Kind::Failed);
    EXPECT_FALSE(picker.isRunning());
    EXPECT_EQ(picker.live(), nullptr);
}

TEST_F(ScreenCast, SourceVanishingFailsThePick)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {32, 32}, {0, 0}, 9);
    ASSERT_TRUE(startOver({&monitor}));
    ASSERT_TRUE(monitor.send(QStringLiteral("frame 2 3")));
    EXPECT_TRUE(follows({2, 3}, monitor));
    monitor.vanish();
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(ended->kind, Ending::Kind::Failed);
    EXPECT_EQ(picker.live(), nullptr);
}

TEST_F(ScreenCast, PortalOffersThePointerAsMetadata)
{
    EXPECT_TRUE(ScreenCastPortal::offersCursorMetadata());
}

// Run with a backend that embeds the pointer or hides it, but cannot send it
// as metadata: no live sampling there.
TEST(ScreenCastNoMetadata, PortalWithoutPointerMetadataIsRefused)
{
    EXPECT_FALSE(ScreenCastPortal::offersCursorMetadata());
    ScreenCastPicker picker(QStringLiteral(HUVELLA_SCREENCAST_MODULE));
    std::optional<Ending> ended;
    picker.start(nullptr, {[] {}, [&](const Ending& e) { ended = e; }});
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.has_value(); }, 10000));
    EXPECT_EQ(ended->kind, Ending::Kind::Failed);
    EXPECT_TRUE(StandIn::calls().filter(QStringLiteral("CreateSession")).isEmpty());
}

} // namespace

namespace {

// A one-shot pick that answers a color of its own once started.
class AnsweringPick final : public DesktopPicker {
public:
    int starts = 0;
    void start(const QWindow*, Handlers handlers) override
    {
        ++starts;
        FRunning = true;
        QTimer::singleShot(0, [this, handlers] {
            FRunning = false;
            handlers.ended({Ending::Kind::Picked, 0x123456});
        });
    }
    void stop() override { FRunning = false; }
    bool isRunning() const override { return FRunning; }
    DesktopPixels* live() override { return nullptr; }

private:
    bool FRunning = false;
};

// Run with sources that send images but no cursor metadata: a second after
// the first image the pick goes over to the one-shot pick, in the same pick,
// and the session is closed; without a one-shot pick it fails.
::testing::AssertionResult PickEndsAs(ScreenCastPicker& picker, Ending want)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {32, 32}, {0, 0}, 16);
    StandIn::script(QStringLiteral("share"));
    StandIn::share({&monitor});
    std::optional<Ending> ended;
    bool started = false;
    picker.start(nullptr, {[&] { started = true; }, [&](const Ending& e) { ended = e; }});
    if (!QTest::qWaitFor([&] { return started || ended; }, 15000) || !started)
        return ::testing::AssertionFailure() << "the pick never sampled";
    if (!monitor.send(QStringLiteral("frame 1 1")))
        return ::testing::AssertionFailure() << "no frame sent";
    if (!QTest::qWaitFor([&] { return ended.has_value(); }, 15000))
        return ::testing::AssertionFailure() << "the pick went on without a pointer";
    if (*ended != want)
        return ::testing::AssertionFailure()
               << "ended " << int(ended->kind) << " " << hex(ended->color);
    if (!QTest::qWaitFor(
            [] { return StandIn::calls().contains(QStringLiteral("impl Session.Close")); }, 5000))
        return ::testing::AssertionFailure() << "the session stayed open";
    return ::testing::AssertionSuccess();
}

TEST(ScreenCastNoPointer, ImagesWithoutThePointerHandOverToTheOneShotPick)
{
    auto oneShot = std::make_unique<AnsweringPick>();
    AnsweringPick& pick = *oneShot;
    ScreenCastPicker picker(QStringLiteral(HUVELLA_SCREENCAST_MODULE), std::move(oneShot));
    EXPECT_TRUE(PickEndsAs(picker, {Ending::Kind::Picked, 0x123456}));
    EXPECT_EQ(pick.starts, 1);
    EXPECT_FALSE(picker.isRunning());
}

TEST(ScreenCastNoPointer, ImagesWithoutThePointerAndNoOneShotPickFail)
{
    ScreenCastPicker picker(QStringLiteral(HUVELLA_SCREENCAST_MODULE));
    EXPECT_TRUE(PickEndsAs(picker, {Ending::Kind::Failed, 0}));
}

} // namespace

namespace {

// Run with the stand-in portal itself, which answers each request before the
// call's reply: every answer is heard, up to the remote (which it refuses),
// whatever order the replies come in.
TEST(ScreenCastEarlyAnswer, EveryRequestsAnswerIsHeard)
{
    StandIn::script(QStringLiteral("color"));
    ScreenCastPicker picker(QStringLiteral(HUVELLA_SCREENCAST_MODULE));
    std::optional<Ending> ended;
    picker.start(nullptr, {[] {}, [&](const Ending& e) { ended = e; }});
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.has_value(); }, 10000));
    EXPECT_EQ(ended->kind, Ending::Kind::Failed);
    EXPECT_EQ(StandIn::calls().filter(QRegularExpression("^(?!Response )")),
              QStringList({"GetAll org.freedesktop.portal.ScreenCast", "CreateSession",
                           "SelectSources", "Start", "OpenPipeWireRemote"}));
}

// A grant whose restore token is 4 MB: it is not kept, and the next pick sends
// none; a token of a sound size is sent back.
TEST(ScreenCastEarlyAnswer, HugeRestoreTokenIsNotKept)
{
    ScreenCastPicker picker(QStringLiteral(HUVELLA_SCREENCAST_MODULE));
    std::optional<Ending> ended;
    const auto pickOnce = [&] {
        ended.reset();
        picker.start(nullptr, {[] {}, [&](const Ending& e) { ended = e; }});
        return QTest::qWaitFor([&] { return ended.has_value(); }, 20000);
    };
    StandIn::script(QStringLiteral("color"));
    ASSERT_TRUE(pickOnce());
    EXPECT_EQ(picker.restoreToken(), QStringLiteral("huvella-token"));
    StandIn::script(QStringLiteral("hugetoken"));
    ASSERT_TRUE(pickOnce());
    EXPECT_TRUE(StandIn::calls().contains(QStringLiteral("restore_token of 13")));
    EXPECT_TRUE(picker.restoreToken().isEmpty());
    StandIn::script(QStringLiteral("color"));
    ASSERT_TRUE(pickOnce());
    EXPECT_TRUE(StandIn::calls().filter(QStringLiteral("restore_token")).isEmpty())
        << StandIn::calls().join(QLatin1Char('\n')).toStdString();
}

// A remote that never speaks: the streams can never run, and the pick fails
// once the program stops waiting for them.
TEST(ScreenCastEarlyAnswer, RemoteThatNeverSpeaksFailsThePick)
{
    StandIn::script(QStringLiteral("silent"));
    ScreenCastPicker picker(QStringLiteral(HUVELLA_SCREENCAST_MODULE));
    bool started = false;
    std::optional<Ending> ended;
    picker.start(nullptr, {[&] { started = true; }, [&](const Ending& e) { ended = e; }});
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return StandIn::calls().contains(QStringLiteral("OpenPipeWireRemote")); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.has_value(); }, 30000))
        << "the pick waited for ever on a silent remote";
    EXPECT_EQ(ended->kind, Ending::Kind::Failed);
    EXPECT_FALSE(started);
    EXPECT_EQ(picker.live(), nullptr);
}

} // namespace

namespace {

// Stopped while the share dialog is open: the session is closed, and the
// dialog's late answer starts nothing.
TEST_F(ScreenCast, StopDuringTheShareDialogClosesTheSession)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {32, 32}, {0, 0}, 11);
    StandIn::share({&monitor});
    StandIn::script(QStringLiteral("slow"));
    picker.start(nullptr, {[this] { started = true; }, [this](const Ending& e) { ended = e; }});
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return StandIn::calls().contains(QStringLiteral("impl Start")); }, 10000));
    picker.stop();
    EXPECT_FALSE(picker.isRunning());
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return StandIn::calls().contains(QStringLiteral("impl Session.Close")); }, 5000));
    QTest::qWait(2500); // past the dialog's answer
    EXPECT_FALSE(started);
    EXPECT_FALSE(ended);
    EXPECT_EQ(picker.live(), nullptr);
}

} // namespace

namespace {

// The portal frontend dies while the share dialog is open (Start not answered
// yet): its Request will never answer, so the pick fails rather than waiting.
TEST(ScreenCastPortalGone, FrontendDyingDuringStartFailsThePick)
{
    TestMonitor monitor(QStringLiteral("BGRx"), {32, 32}, {0, 0}, 12);
    StandIn::share({&monitor});
    StandIn::script(QStringLiteral("slow"));
    ScreenCastPicker picker(QStringLiteral(HUVELLA_SCREENCAST_MODULE));
    bool started = false;
    std::optional<Ending> ended;
    picker.start(nullptr, {[&] { started = true; }, [&](const Ending& e) { ended = e; }});
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return StandIn::calls().contains(QStringLiteral("impl Start")); }, 10000));
    const QDBusReply<uint> frontend = QDBusConnection::sessionBus().interface()->servicePid(
        QStringLiteral("org.freedesktop.portal.Desktop"));
    ASSERT_TRUE(frontend.isValid());
    ASSERT_EQ(kill(static_cast<pid_t>(frontend.value()), SIGKILL), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.has_value(); }, 20000))
        << "the pick went on without a portal";
    EXPECT_EQ(ended->kind, Ending::Kind::Failed);
    EXPECT_FALSE(started);
    EXPECT_FALSE(picker.isRunning());
}

} // namespace
