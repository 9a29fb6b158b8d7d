// The slider driven through its real widget: program writes, keys, mouse,
// wheel, the position tip, and handlers that move sliders or end the action.
#include "TimerTicks.h"
#include "sTrackBar/TPositionTip.h"
#include "sTrackBar/TsTrackBar.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

enum class Kind { Change, User };
struct Note {
    Kind kind;
    int position;
};

class SliderTest : public ::testing::Test {
protected:
    TsTrackBar bar;
    std::vector<Note> notes;
    // Runs inside OnUserChange, after the note is taken.
    std::function<void()> onUser;

    void SetUp() override
    {
        bar.OnChange = [this](QObject* sender) {
            EXPECT_EQ(sender, &bar);
            notes.push_back({Kind::Change, bar.Position()});
        };
        bar.OnUserChange = [this](QObject* sender) {
            EXPECT_EQ(sender, &bar);
            // The stored position is the QSlider's in every report.
            EXPECT_EQ(bar.Position(), bar.value());
            notes.push_back({Kind::User, bar.Position()});
            if (onUser)
                onUser();
        };
    }

    // The window's sliders: Max before Position, as the form lists them.
    void setUp(int max, int position, int width = 187, int height = 26)
    {
        bar.setMax(max);
        bar.setPosition(position);
        bar.resize(width, height);
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
        notes.clear();
    }

    std::vector<int> positions(Kind kind) const
    {
        std::vector<int> out;
        for (const Note& n : notes)
            if (n.kind == kind)
                out.push_back(n.position);
        return out;
    }

    // Every user note must close a report: OnChange with the same position first.
    void expectWholeReports() const
    {
        for (size_t i = 0; i < notes.size(); ++i)
            if (notes[i].kind == Kind::User) {
                ASSERT_GT(i, 0U);
                EXPECT_EQ(notes[i - 1].kind, Kind::Change);
                EXPECT_EQ(notes[i - 1].position, notes[i].position);
            }
    }

public:
    QPoint channelEnd() const { return {bar.width() - 2, bar.height() / 2}; }

    void sendMove(QPoint at, Qt::MouseButtons buttons)
    {
        QMouseEvent move(QEvent::MouseMove, at, bar.mapToGlobal(at), Qt::NoButton, buttons,
                         Qt::NoModifier);
        QApplication::sendEvent(&bar, &move);
    }

    void sendUngrab()
    {
        QEvent ungrab(QEvent::UngrabMouse);
        QApplication::sendEvent(&bar, &ungrab);
    }

protected:
    TPositionTip* tip() const { return bar.findChild<TPositionTip*>(); }
    bool tipShown() const { return tip() && tip()->isVisible(); }
    QTimer* pageRepeat() const { return bar.findChild<QTimer*>(QStringLiteral("pageRepeat")); }

    // Presses the thumb and moves right a pixel at a time until the position
    // reaches target (or the channel ends); the button stays down.
    void dragTo(int target)
    {
        QPoint at = bar.thumbRect().center();
        QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, at);
        while (bar.Position() < target && at.x() < bar.width()) {
            at.rx() += 1;
            QTest::mouseMove(&bar, at);
        }
    }
};

// --- Program writes -------------------------------------------------------------

struct WriteRow {
    const char* name;
    int max;
    int position;
    void (TTrackBar::*write)(int);
    int value;
    int wantMin, wantMax, wantPosition;
    int wantChanges;
};

class ProgramWrites : public SliderTest, public ::testing::WithParamInterface<WriteRow> {};

TEST_P(ProgramWrites, ClampOrIgnoreAndNeverReportTheUser)
{
    const WriteRow& row = GetParam();
    setUp(row.max, row.position);
    (bar.*row.write)(row.value);
    EXPECT_EQ(bar.Min(), row.wantMin);
    EXPECT_EQ(bar.Max(), row.wantMax);
    EXPECT_EQ(bar.Position(), row.wantPosition);
    // The QSlider shows what is stored.
    EXPECT_EQ(bar.minimum(), row.wantMin);
    EXPECT_EQ(bar.maximum(), row.wantMax);
    EXPECT_EQ(bar.value(), row.wantPosition);
    EXPECT_EQ(positions(Kind::Change), std::vector<int>(row.wantChanges, row.wantPosition));
    EXPECT_TRUE(positions(Kind::User).empty());
}

constexpr auto Pos = &TTrackBar::setPosition;
constexpr auto Min = &TTrackBar::setMin;
constexpr auto Max = &TTrackBar::setMax;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Slider, ProgramWrites, ::testing::Values(
    //        name                       max    pos    write value    Min      Max    Pos  OnChange
    WriteRow{"PositionAboveMax",         255,     0, Pos,   300,        0,     255,   255, 1},
    WriteRow{"PositionBelowMin",         255,    10, Pos,    -5,        0,     255,     0, 1},
    WriteRow{"SamePosition",             255,    10, Pos,    10,        0,     255,    10, 0},
    WriteRow{"ClampedOntoSamePosition",  255,   255, Pos,   300,        0,     255,   255, 0},
    WriteRow{"MaxBelowPosition",         255,   200, Max,   100,        0,     100,   100, 1},
    WriteRow{"MinAbovePosition",         255,    10, Min,    50,       50,     255,    50, 1},
    WriteRow{"MinAboveMaxIgnored",       255,    10, Min,   300,        0,     255,    10, 0},
    WriteRow{"MaxBelowMinIgnored",       255,    10, Max,    -1,        0,     255,    10, 0},
    WriteRow{"WideningPastTickLimit",    255,   100, Max, 20000,        0,   20000,   100, 0},
    WriteRow{"NarrowingFromWideClamps", 20000, 15000, Max,  255,        0,     255,   255, 1},
    WriteRow{"WidestRange",              255,    10, Min, INT_MIN, INT_MIN,    255,    10, 0}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// Settings that set the QSlider up anew must keep the position and raise nothing.
struct RecreateRow {
    const char* name;
    std::function<void(TTrackBar&)> write;
};

class Recreation : public SliderTest, public ::testing::WithParamInterface<RecreateRow> {};

TEST_P(Recreation, KeepsRangeAndPosition)
{
    setUp(240, 37);
    GetParam().write(bar);
    EXPECT_EQ(bar.Position(), 37);
    EXPECT_EQ(bar.value(), 37);
    EXPECT_EQ(bar.maximum(), 240);
    EXPECT_TRUE(notes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Slider, Recreation,
    ::testing::Values(
        RecreateRow{"PositionToolTip", [](TTrackBar& b) { b.setPositionToolTip(ptTop); }},
        RecreateRow{"TickStyle", [](TTrackBar& b) { b.setTickStyle(tsNone); }},
        RecreateRow{"TickMarks", [](TTrackBar& b) { b.setTickMarks(tmBoth); }},
        RecreateRow{"SliderVisible", [](TTrackBar& b) { b.setSliderVisible(false); }},
        RecreateRow{"ShowSelRange", [](TTrackBar& b) { b.setShowSelRange(false); }},
        RecreateRow{"Orientation", [](TTrackBar& b) { b.setOrientation(trVertical); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SliderTest, AutomaticTickMarksAreChosenAgainWhenTheRangeCrossesTheLimit)
{
    setUp(255, 0);
    EXPECT_EQ(bar.tickInterval(), 1);
    bar.setMax(20000);
    // Too many marks: only both ends are marked.
    EXPECT_EQ(bar.tickInterval(), 20000);
    // A spacing that would make them few does not choose again.
    bar.setFrequency(100);
    EXPECT_EQ(bar.tickInterval(), 20000);
    bar.setMax(255);
    EXPECT_EQ(bar.tickInterval(), 100);
}

// --- Keys -------------------------------------------------------------------------

struct KeyRow {
    const char* name;
    Qt::Key key;
    int start;
    std::vector<int> reports; // press, then release
};

class Keys : public SliderTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(Keys, ReportAtPressAndAtRelease)
{
    const KeyRow& row = GetParam();
    setUp(255, row.start);
    QTest::keyPress(&bar, row.key);
    QTest::keyRelease(&bar, row.key);
    EXPECT_EQ(positions(Kind::User), row.reports);
    EXPECT_EQ(positions(Kind::Change), row.reports);
    expectWholeReports();
}

INSTANTIATE_TEST_SUITE_P(
    Slider, Keys,
    ::testing::Values(
        KeyRow{"Right", Qt::Key_Right, 10, {11, 11}}, KeyRow{"Down", Qt::Key_Down, 10, {11, 11}},
        KeyRow{"Left", Qt::Key_Left, 10, {9, 9}}, KeyRow{"Up", Qt::Key_Up, 10, {9, 9}},
        KeyRow{"PageUpDecreases", Qt::Key_PageUp, 10, {8, 8}},
        KeyRow{"PageDownIncreases", Qt::Key_PageDown, 10, {12, 12}},
        KeyRow{"Home", Qt::Key_Home, 10, {0, 0}}, KeyRow{"End", Qt::Key_End, 10, {255, 255}},
        KeyRow{"HomeAtMin", Qt::Key_Home, 0, {0, 0}}, KeyRow{"LeftAtMin", Qt::Key_Left, 0, {0, 0}},
        KeyRow{"RightAtMax", Qt::Key_Right, 255, {255, 255}},
        KeyRow{"PageUpNearMin", Qt::Key_PageUp, 1, {0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SliderTest, AutoRepeatReportsEachPressAndOnlyTheLastRelease)
{
    setUp(255, 10);
    auto send = [this](QEvent::Type type, bool autoRepeat) {
        QKeyEvent key(type, Qt::Key_Right, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(&bar, &key);
    };
    send(QEvent::KeyPress, false);
    send(QEvent::KeyRelease, true);
    send(QEvent::KeyPress, true);
    send(QEvent::KeyRelease, true);
    send(QEvent::KeyPress, true);
    send(QEvent::KeyRelease, false);
    EXPECT_EQ(positions(Kind::User), (std::vector<int>{11, 12, 13, 13}));
}

TEST_F(SliderTest, UnflaggedAutoRepeatIsToldByTheTimeOfItsPress)
{
    // What X11 may deliver for a held key: each repeat's release and press
    // carry the same time and are not marked as auto-repeat.
    setUp(255, 10);
    auto send = [this](QEvent::Type type, Qt::Key key, quint64 time) {
        QKeyEvent event(type, key, Qt::NoModifier);
        event.setTimestamp(time);
        QApplication::sendEvent(&bar, &event);
    };
    send(QEvent::KeyPress, Qt::Key_Right, 1000);
    send(QEvent::KeyRelease, Qt::Key_Right, 1500);
    send(QEvent::KeyPress, Qt::Key_Right, 1500);
    send(QEvent::KeyRelease, Qt::Key_Right, 1540);
    send(QEvent::KeyPress, Qt::Key_Right, 1540);
    send(QEvent::KeyRelease, Qt::Key_Right, 1700);
    // Another key reports the waiting release first.
    send(QEvent::KeyPress, Qt::Key_Left, 1710);
    send(QEvent::KeyRelease, Qt::Key_Left, 1800);
    EXPECT_EQ(positions(Kind::User), (std::vector<int>{11, 12, 13, 13, 12}));
    EXPECT_TRUE(QTest::qWaitFor([this] { return notes.size() == 12; }, 2000));
    EXPECT_EQ(positions(Kind::User), (std::vector<int>{11, 12, 13, 13, 12, 12}));
}

TEST_F(SliderTest, OtherKeysAndAltChordsAreNotMovements)
{
    setUp(255, 10);
    QTest::keyClick(&bar, Qt::Key_A);
    QTest::keyClick(&bar, Qt::Key_Right, Qt::AltModifier);
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(bar.value(), 10);
}

// --- Mouse ------------------------------------------------------------------------

TEST_F(SliderTest, DragReportsEachPositionThenTwiceAtRelease)
{
    setUp(240, 0);
    bar.setPositionToolTip(ptTop);
    // What the tip showed at each report, and whether it stood above the thumb.
    std::vector<QString> tipTexts;
    std::vector<bool> tipAbove;
    onUser = [&] {
        tipTexts.push_back(tipShown() ? tip()->text() : QString());
        const QRect thumb(bar.mapToGlobal(bar.thumbRect().topLeft()), bar.thumbRect().size());
        const QRect at = tip() ? tip()->geometry() : QRect();
        tipAbove.push_back(at.bottom() < thumb.top() && at.left() < thumb.center().x() &&
                           at.right() > thumb.center().x());
    };

    dragTo(120);
    ASSERT_EQ(bar.Position(), 120);
    EXPECT_TRUE(bar.isSliderDown());
    const std::vector<int> moved = positions(Kind::User);
    // Moving across the channel changes no position and so reports nothing.
    QTest::mouseMove(&bar, bar.thumbRect().center() + QPoint(0, 3));
    EXPECT_EQ(positions(Kind::User).size(), moved.size());
    ASSERT_GT(moved.size(), 10U);
    for (size_t i = 1; i < moved.size(); ++i)
        EXPECT_GT(moved[i], moved[i - 1]) << "one report per change, at step " << i;
    for (size_t i = 0; i < moved.size(); ++i) {
        EXPECT_EQ(tipTexts[i], QString::number(moved[i]));
        EXPECT_TRUE(tipAbove[i]) << "at step " << i;
    }

    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, bar.thumbRect().center());
    std::vector<int> all = positions(Kind::User);
    ASSERT_EQ(all.size(), moved.size() + 2);
    EXPECT_EQ(all[all.size() - 2], 120);
    EXPECT_EQ(all.back(), 120);
    EXPECT_FALSE(tipShown());
    EXPECT_FALSE(bar.isSliderDown());
    expectWholeReports();
}

TEST_F(SliderTest, PressInTheChannelMakesOnePageStepAndAReleaseReport)
{
    setUp(240, 0);
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    EXPECT_EQ(positions(Kind::User), (std::vector<int>{2, 2}));
    expectWholeReports();
}

TEST_F(SliderTest, DoubleClickInTheChannelIsTwoPresses)
{
    setUp(240, 0);
    // What Qt delivers for a double click: press, release, double click, release.
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    QTest::mouseDClick(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    EXPECT_EQ(positions(Kind::User), (std::vector<int>{2, 2, 4, 4}));
    EXPECT_EQ(bar.Position(), 4);
}

TEST_F(SliderTest, HeldPressRepeatsPageStepsUntilTheThumbReachesThePointer)
{
    setUp(40, 0);
    const QPoint pointer(bar.width() / 2, bar.height() / 2);
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, pointer);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar.thumbRect().contains(pointer); }, 10000));
    const size_t reached = notes.size();
    ASSERT_TRUE(WaitForTicks(pageRepeat(), 3));
    EXPECT_EQ(notes.size(), reached) << "steps went on past the pointer";
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, pointer);

    const std::vector<int> steps = positions(Kind::User);
    ASSERT_GE(steps.size(), 4U);
    for (size_t i = 0; i + 1 < steps.size(); ++i)
        EXPECT_EQ(steps[i], 2 * int(i + 1));
    EXPECT_EQ(steps.back(), bar.Position());
    EXPECT_LT(bar.Position(), 30);
}

TEST_F(SliderTest, VerticalSliderHasMinAtTheTop)
{
    bar.setOrientation(trVertical);
    setUp(240, 0, 26, 187);
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier,
                      QPoint(bar.width() / 2, bar.height() - 2));
    EXPECT_EQ(positions(Kind::User), (std::vector<int>{2, 2}));
}

// A program move repaints only part of the slider: what the window then holds
// must be what a whole repaint then draws, after one move or several between
// paints, a jump back past where the thumb was painted, and the ends.
class RepaintedMoves : public SliderTest,
                       public ::testing::WithParamInterface<TTrackBarOrientation> {};

TEST_P(RepaintedMoves, LeaveNothingOfTheOldThumb)
{
    const bool vertical = GetParam() == trVertical;
    bar.setOrientation(GetParam());
    setUp(240, 120, vertical ? 26 : 187, vertical ? 187 : 26);
    const auto shown = [this] {
        QCoreApplication::processEvents();
        return bar.screen()
            ->grabWindow(bar.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    // Without tick marks: Fusion draws them in a color left over from what it
    // drew before, which differs from one whole paint to the next.
    bar.setTickStyle(tsNone);
    bar.update();
    shown();
    const std::vector<std::vector<int>> moves = {{200},          {30, 240}, {5}, {0},  {239, 100},
                                                 {180, 60, 170}, {240},     {1}, {121}};
    for (const std::vector<int>& between : moves) {
        for (int position : between)
            bar.setPosition(position);
        const QImage afterMoves = shown();
        bar.update();
        EXPECT_EQ(afterMoves, shown()) << "after moving to " << between.back();
    }
}

INSTANTIATE_TEST_SUITE_P(Orientations, RepaintedMoves, ::testing::Values(trHorizontal, trVertical));

TEST_F(SliderTest, WheelTurnIsReportedOnlyWhenItMoves)
{
    setUp(240, 100);
    auto turn = [this] {
        const QPointF at(bar.width() / 2, bar.height() / 2);
        QWheelEvent wheel(at, bar.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&bar, &wheel);
    };
    turn();
    ASSERT_NE(bar.Position(), 100);
    EXPECT_EQ(positions(Kind::User), std::vector<int>{bar.Position()});
    expectWholeReports();

    // The same turn again at the end it went towards.
    bar.setPosition(bar.Position() > 100 ? 240 : 0);
    notes.clear();
    turn();
    EXPECT_TRUE(notes.empty());
}

// --- Thumb length -------------------------------------------------------------------

class ThumbLengths : public SliderTest, public ::testing::WithParamInterface<int> {};

// Rows of the picture where the thumb's column differs from a column of bare
// channel: the thumb as painted, across the channel.
std::pair<int, int> paintedThumbRows(const QImage& picture, int thumbColumn, int channelColumn)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < picture.height(); ++y) {
        if (picture.pixel(thumbColumn, y) == picture.pixel(channelColumn, y))
            continue;
        if (first < 0)
            first = y;
        last = y;
    }
    return {first, last};
}

TEST_P(ThumbLengths, ThumbIsPaintedAndHitAtItsLength)
{
    const int length = GetParam();
    bar.setTickStyle(tsNone);
    bar.setThumbLength(length);
    setUp(240, 120, 187, 45);
    const QRect thumb = bar.thumbRect();
    EXPECT_EQ(thumb.height(), length);

    const auto [top, bottom] =
        paintedThumbRows(bar.grab().toImage(), thumb.center().x(), bar.width() - 4);
    // The style draws the thumb's outline up to a pixel inside its rectangle.
    EXPECT_GE(bottom - top + 1, length - 2) << "painted rows " << top << " to " << bottom;
    EXPECT_LE(bottom - top + 1, length) << "painted rows " << top << " to " << bottom;

    // A press on the thumb's outermost rows grabs it; just beyond them it does not.
    for (const int y : {thumb.top(), thumb.bottom()}) {
        QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(thumb.center().x(), y));
        EXPECT_TRUE(bar.isSliderDown()) << "row " << y;
        QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, QPoint(thumb.center().x(), y));
    }
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier,
                      QPoint(thumb.center().x(), thumb.top() - 1));
    EXPECT_FALSE(bar.isSliderDown());
    QTest::mouseRelease(&bar, Qt::LeftButton);
    EXPECT_EQ(bar.Position(), 120);
}

INSTANTIATE_TEST_SUITE_P(Slider, ThumbLengths, ::testing::Values(10, 20, 23, 40));

// --- Cancelled and lost actions ---------------------------------------------------

TEST_F(SliderTest, UngrabMouseFromAHandlerEndsTheDragAtOnce)
{
    setUp(240, 0);
    // What the window's failure boundary does when a handler fails mid-drag.
    onUser = [this] { sendUngrab(); };
    dragTo(30);
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    ASSERT_EQ(positions(Kind::User).size(), 1U);
    EXPECT_EQ(bar.Position(), positions(Kind::User).front());
}

TEST_F(SliderTest, UngrabMouseDuringTheReleaseReportsDropsTheSecond)
{
    setUp(240, 0);
    dragTo(30);
    const size_t moved = positions(Kind::User).size();
    onUser = [this] { sendUngrab(); };
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    EXPECT_EQ(positions(Kind::User).size(), moved + 1);
}

TEST_F(SliderTest, UngrabMouseStopsThePageRepeat)
{
    setUp(240, 0);
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    sendUngrab();
    EXPECT_FALSE(pageRepeat()->isActive());
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    EXPECT_EQ(positions(Kind::User), std::vector<int>{2});
}

// Ways a drag ends without its release: the capture is taken away, or the
// release went to another window and the next move has no button held.
struct EndingRow {
    const char* name;
    std::function<void(SliderTest&)> end;
};

class DragEndings : public SliderTest, public ::testing::WithParamInterface<EndingRow> {};

TEST_P(DragEndings, EndTheDragQuietly)
{
    setUp(240, 0);
    bar.setPositionToolTip(ptTop);
    dragTo(30);
    const int reached = bar.Position();
    const size_t before = notes.size();
    ASSERT_TRUE(tipShown());

    GetParam().end(*this);
    EXPECT_FALSE(tipShown());
    EXPECT_FALSE(bar.isSliderDown());
    QTest::mouseMove(&bar, channelEnd());
    sendMove(channelEnd() - QPoint(5, 0), Qt::NoButton);
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    EXPECT_EQ(notes.size(), before);
    EXPECT_EQ(bar.Position(), reached);
}

INSTANTIATE_TEST_SUITE_P(
    Slider, DragEndings,
    ::testing::Values(EndingRow{"UngrabMouse", [](SliderTest& t) { t.sendUngrab(); }},
                      EndingRow{"MoveWithoutButton",
                                [](SliderTest& t) { t.sendMove(t.channelEnd(), Qt::NoButton); }}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Handlers that act during a report --------------------------------------------

TEST_F(SliderTest, HandlerWritingThePositionGetsNoFurtherReport)
{
    setUp(255, 10);
    bool written = false;
    onUser = [&] {
        if (!std::exchange(written, true))
            bar.setPosition(50);
    };
    QTest::keyPress(&bar, Qt::Key_Right);
    EXPECT_EQ(positions(Kind::User), std::vector<int>{11});
    EXPECT_EQ(positions(Kind::Change), (std::vector<int>{11, 50}));
    QTest::keyRelease(&bar, Qt::Key_Right);
    EXPECT_EQ(positions(Kind::User), (std::vector<int>{11, 50}));
    EXPECT_EQ(bar.value(), 50);
}

TEST_F(SliderTest, NestedEventLoopInAHandlerGetsNoNestedPageSteps)
{
    setUp(240, 0);
    int depth = 0;
    int deepest = 0;
    bool looped = false;
    int ticksInside = 0;
    onUser = [&] {
        deepest = std::max(deepest, ++depth);
        if (!std::exchange(looped, true)) {
            // Runs until the page repeat has ticked twice inside it.
            QEventLoop loop;
            QObject::connect(pageRepeat(), &QTimer::timeout, &loop, [&] {
                if (++ticksInside == 2)
                    loop.quit();
            });
            QTimer::singleShot(10000, &loop, &QEventLoop::quit); // against a hang
            loop.exec();
        }
        --depth;
    };
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    EXPECT_EQ(ticksInside, 2);
    EXPECT_EQ(positions(Kind::User), std::vector<int>{2});
    // The repeat goes on once the handler has returned.
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar.Position() >= 6; }, 10000));
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    EXPECT_EQ(deepest, 1);
}

TEST_F(SliderTest, ModalDialogInAHandlerEndsThePageRepeat)
{
    setUp(240, 0);
    bool shown = false;
    onUser = [&] {
        if (std::exchange(shown, true))
            return;
        // Open until the page repeat ticks, which it does while the dialog is.
        QDialog dialog;
        QObject::connect(pageRepeat(), &QTimer::timeout, &dialog, &QDialog::accept);
        QTimer::singleShot(10000, &dialog, &QDialog::reject); // against a hang
        ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    };
    QTest::mousePress(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    EXPECT_FALSE(pageRepeat()->isActive());
    QTest::mouseRelease(&bar, Qt::LeftButton, Qt::NoModifier, channelEnd());
    EXPECT_EQ(positions(Kind::User), std::vector<int>{2});
}

} // namespace
