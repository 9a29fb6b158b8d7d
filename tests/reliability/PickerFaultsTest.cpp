// The picker over a desktop whose reads fail: now and then at random, and for
// long runs of thousands of ticks. A tick without a pointer or a pixel leaves
// every field showing the last pixel read; an unreadable screen is reported
// once per run of such failures, however long; nothing else is shown.
#include "FormFixture.h"
#include "ShownFields.h"
#include "frmMain/TButton.h"

#include <QTimer>
#include <random>

using Kind = MessageBoxes::Kind;
using Shown = RecordingMessageBoxes::Shown;
using Pixel = DesktopPixels::Pixel;
using Status = Pixel::Status;
using HSLUtils::TColor;

namespace {

const Shown Canvas{Kind::Error, "Canvas does not allow drawing."};

} // namespace

class PickerFaults : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        QTest::mouseClick(form->btn6, Qt::LeftButton); // sampling on, as the user has it
    }

    // One tick as the timer delivers it, with the next answers of the desktop.
    void tick(std::optional<QPoint> pointer, Pixel pixel)
    {
        desktop.positions = {pointer};
        desktop.pixels = {pixel};
        deliverTick();
    }
};

TEST_F(PickerFaults, ReadsFailingNowAndThenLeaveTheLastPixelRead)
{
    // Each tick: a color (most of the time), no pointer, no pixel, or no screen.
    std::mt19937 random(20240611);
    std::discrete_distribution<int> outcome({70, 10, 10, 10});
    std::uniform_int_distribution<TColor> anyColor(0, 0xFFFFFF);

    TColor shown = 0;
    bool screenFailing = false; // within a run of unreadable-screen reads
    int runsOfScreenFailures = 0;
    int pixelReads = 0;
    for (int i = 0; i < 3000; ++i) {
        switch (outcome(random)) {
        case 0:
            shown = anyColor(random);
            tick(QPoint(i % 1920, i % 1080), {Status::Color, shown});
            screenFailing = false;
            ++pixelReads;
            break;
        case 1:
            tick(std::nullopt, {Status::Color, 0x00FF00}); // the pixel is never asked for
            break;
        case 2:
            tick(QPoint(-1, -1), Pixel{Status::NoPixel});
            ++pixelReads;
            break;
        case 3:
            tick(QPoint(5, 5), Pixel{Status::NoAccess});
            runsOfScreenFailures += screenFailing ? 0 : 1;
            screenFailing = true;
            ++pixelReads;
            break;
        }
        ASSERT_EQ(ShownFields::of(*form), ShownFields::consistentWith(shown)) << "after tick " << i;
        ASSERT_EQ(form->CurrentColor(), shown) << "after tick " << i;
    }
    EXPECT_EQ(desktop.pixelReads(), pixelReads);
    EXPECT_GT(runsOfScreenFailures, 100);
    EXPECT_EQ(boxes.shown, std::vector<Shown>(std::size_t(runsOfScreenFailures), Canvas));
    EXPECT_TRUE(form->tmr1->isActive());
}

TEST_F(PickerFaults, LongRunsOfFailuresChangeNothingUntilAPixelIsReadAgain)
{
    const int longRun = 5000; // over four minutes of sampling
    tick(QPoint(10, 10), {Status::Color, 0x336699});
    const ShownFields before = ShownFields::of(*form);
    ASSERT_EQ(before, ShownFields::consistentWith(0x336699));

    for (int i = 0; i < longRun; ++i)
        tick(QPoint(10, 10), Pixel{Status::NoPixel});
    EXPECT_EQ(ShownFields::of(*form), before);
    for (int i = 0; i < longRun; ++i)
        tick(std::nullopt, {Status::Color, 0x00FF00});
    EXPECT_EQ(ShownFields::of(*form), before);
    EXPECT_TRUE(boxes.shown.empty());

    for (int i = 0; i < longRun; ++i)
        tick(QPoint(10, 10), Pixel{Status::NoAccess});
    EXPECT_EQ(ShownFields::of(*form), before);
    EXPECT_EQ(boxes.shown, std::vector<Shown>{Canvas});
    EXPECT_EQ(desktop.pixelReads(), 1 + 2 * longRun);
    EXPECT_TRUE(form->tmr1->isActive());

    tick(QPoint(10, 10), {Status::Color, 0x010203});
    EXPECT_EQ(ShownFields::of(*form), ShownFields::consistentWith(0x010203));
    tick(QPoint(10, 10), Pixel{Status::NoAccess}); // a new run is shown again
    EXPECT_EQ(boxes.shown, (std::vector<Shown>{Canvas, Canvas}));
}
