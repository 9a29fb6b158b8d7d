// The picker's loupe on real widgets with a scripted desktop that serves blocks.
#include "FormFixture.h"
#include "PackedRgb.h"
#include "frmMain/PickerLoupe.h"
#include "frmMain/TButton.h"

#include <functional>
#include <set>

using Block = DesktopPixels::Block;
using Pixel = DesktopPixels::Pixel;
using Status = Pixel::Status;
using HSLUtils::TColor;

namespace {

// Every pixel of a 256 x 256 square differs from every other.
TColor pattern(QPoint p)
{
    return (p.x() & 0xFF) | (p.y() & 0xFF) << 8 | ((p.x() * 7 + p.y() * 13) & 0xFF) << 16;
}

// The colors a cell of the grabbed loupe shows, each once.
std::set<QRgb> colorsIn(const QImage& image, QRect cell)
{
    std::set<QRgb> colors;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x)
            colors.insert(image.pixel(x, y) | 0xFF000000);
    }
    return colors;
}

} // namespace

class Loupe : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        desktop.scene = pattern;
        QTest::mouseClick(form->btn6, Qt::LeftButton);
    }

    void tick() { deliverTick(); }
    PickerLoupe& loupe() { return form->Loupe(); }
    // What the desktop shows as the loupe.
    QImage grab() { return desktop.overlayPicture.convertToFormat(QImage::Format_RGB32); }
};

TEST_F(Loupe, ShowsEachPixelAroundThePointerAndItsCentreIsTheColorTheFieldsShow)
{
    const QPoint pointer(700, 400);
    desktop.positions = {pointer};
    tick();
    ASSERT_TRUE(loupe().isVisible());
    EXPECT_EQ(loupe().placement(), QRect(pointer + QPoint(24, 24), PickerLoupe::loupeSize()));
    EXPECT_EQ(desktop.overlayAt, loupe().placement().topLeft());

    const QImage image = grab();
    ASSERT_EQ(image.size(), PickerLoupe::loupeSize());
    for (int dy = -Block::Radius; dy <= Block::Radius; ++dy) {
        for (int dx = -Block::Radius; dx <= Block::Radius; ++dx) {
            // The centre's outer pixels are its ring.
            const int ring = dx == 0 && dy == 0 ? 1 : 0;
            const QRect cell = PickerLoupe::cellRect(dx, dy).adjusted(ring, ring, -ring, -ring);
            EXPECT_EQ(colorsIn(image, cell),
                      std::set<QRgb>{rgbOf(pattern(pointer + QPoint(dx, dy)))})
                << "cell " << dx << "," << dy;
        }
    }
    // Ringed in black and white, so that it shows on any color.
    const QRect centre = PickerLoupe::cellRect(0, 0);
    EXPECT_EQ(image.pixel(centre.topLeft()), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(centre.topLeft() - QPoint(1, 1)), qRgb(255, 255, 255));

    EXPECT_EQ(form->CurrentColor(), pattern(pointer));
    EXPECT_EQ(loupe().text(), form->edt1->text());
    EXPECT_EQ(desktop.pixelReads(), 1);
    EXPECT_EQ(QApplication::focusWidget(), form->btn6); // Enter still stops sampling
}

TEST_F(Loupe, CellsOffEveryMonitorAreHatched)
{
    // The second monitor is shorter: below it there is no pixel at all.
    desktop.monitors = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QPoint pointer(1922, 1020);
    desktop.positions = {pointer};
    tick();
    const QImage image = grab();
    std::set<QRgb> hatch;
    for (int dy = -Block::Radius; dy <= Block::Radius; ++dy) {
        for (int dx = -Block::Radius; dx <= Block::Radius; ++dx) {
            if (dx == 0 && dy == 0)
                continue;
            const QPoint at = pointer + QPoint(dx, dy);
            const std::set<QRgb> shown = colorsIn(image, PickerLoupe::cellRect(dx, dy));
            if (at.x() < 1920 || at.y() < 1024) {
                EXPECT_EQ(shown, std::set<QRgb>{rgbOf(pattern(at))}) << dx << "," << dy;
                continue;
            }
            EXPECT_EQ(shown.size(), 2u) << "stripes in cell " << dx << "," << dy;
            if (hatch.empty())
                hatch = shown;
            EXPECT_EQ(shown, hatch) << "the same neutral hatch in cell " << dx << "," << dy;
        }
    }
    EXPECT_EQ(form->CurrentColor(), pattern(pointer));
}

TEST(LoupePlacement, BesideThePointerFlippedAtEachEdgeAndWhollyOnItsMonitor)
{
    const QSize size = PickerLoupe::loupeSize();
    // Flipped, its far edge is as far from the pointer as its near edge was.
    const int w = size.width() - 1, h = size.height() - 1;
    const QRect left(0, 0, 1920, 1080);
    const QRect right(1920, 200, 1280, 720); // lower and narrower than the left one
    struct Row {
        const char* name;
        QPoint pointer;
        QRect monitor;
        QPoint topLeft;
    };
    const Row rows[] = {
        {"right and below", {500, 500}, left, {524, 524}},
        {"near the top left corner", {0, 0}, left, {24, 24}},
        {"flipped left at the right edge", {1900, 500}, left, {1900 - 24 - w, 524}},
        {"flipped up at the bottom edge", {500, 1070}, left, {524, 1070 - 24 - h}},
        {"flipped both ways in the corner", {1919, 1079}, left, {1919 - 24 - w, 1079 - 24 - h}},
        {"the second monitor's left edge", {1920, 210}, right, {1944, 234}},
        {"the second monitor's bottom edge", {2000, 919}, right, {2024, 919 - 24 - h}},
        {"the second monitor's right edge", {3199, 300}, right, {3199 - 24 - w, 324}},
    };
    for (const Row& row : rows) {
        const QRect place = PickerLoupe::besidePointer(row.pointer, row.monitor);
        EXPECT_EQ(place, QRect(row.topLeft, size)) << row.name;
        EXPECT_TRUE(row.monitor.contains(place)) << row.name;
        EXPECT_FALSE(place.contains(row.pointer)) << row.name;
    }
}

TEST_F(Loupe, APointerInsideTheLoupeReadsNothingAndMovesIt)
{
    desktop.positions = {QPoint(700, 400)};
    tick();
    const QRect before = loupe().placement();
    const TColor color = form->CurrentColor();
    const QString hex = form->edt1->text();

    const QPoint inside = before.center();
    desktop.positions = {inside};
    tick();
    EXPECT_EQ(desktop.pixelReads(), 1);
    EXPECT_EQ(form->CurrentColor(), color);
    EXPECT_EQ(form->edt1->text(), hex);
    EXPECT_TRUE(loupe().isVisible());
    EXPECT_EQ(loupe().placement(), PickerLoupe::besidePointer(inside, desktop.monitors[0]));
    EXPECT_FALSE(loupe().placement().contains(inside));

    // Where it stood, the screen may still show it for one more tick; then the pointer
    // reads the desktop there.
    tick();
    tick();
    EXPECT_EQ(form->CurrentColor(), pattern(inside));
    EXPECT_EQ(loupe().text(), form->edt1->text());
}

TEST_F(Loupe, MovesWithoutRepaintingUntilThePixelsItShowsChange)
{
    // One color left of x = 1000, another right of it.
    desktop.scene = [](QPoint p) { return p.x() < 1000 ? TColor(0x336699) : TColor(0x996633); };
    desktop.positions = {QPoint(300, 300)};
    tick();
    EXPECT_EQ(desktop.overlayDrawings, 1);

    desktop.positions = {QPoint(600, 320)}; // the same color all around
    tick();
    EXPECT_EQ(desktop.overlayAt, QPoint(624, 344));
    EXPECT_EQ(desktop.overlayDrawings, 1);

    desktop.positions = {QPoint(995, 320)}; // the other color within the block's edge
    tick();
    EXPECT_EQ(desktop.overlayDrawings, 2);
    EXPECT_EQ(grab().pixel(PickerLoupe::cellRect(Block::Radius, 0).center()), rgbOf(0x996633));
}

TEST_F(Loupe, HidesWhenSamplingStopsOrThePointerOrScreenCannotBeRead)
{
    const struct {
        const char* name;
        std::function<void()> event;
    } cases[] = {
        {"stop", [this] { QTest::mouseClick(form->btn6, Qt::LeftButton); }},
        {"no pointer",
         [this] {
             desktop.positions = {std::nullopt};
             tick();
         }},
        {"no pixel",
         [this] {
             desktop.positions = {QPoint(-5, 10)}; // off every monitor
             tick();
         }},
        {"no screen",
         [this] {
             desktop.scene = nullptr;
             desktop.pixels = {Pixel{Status::NoAccess}};
             tick();
         }},
    };
    for (const auto& c : cases) {
        desktop.scene = pattern;
        desktop.positions = {QPoint(300, 300)};
        if (!form->tmr1->isActive())
            QTest::mouseClick(form->btn6, Qt::LeftButton);
        tick();
        ASSERT_TRUE(loupe().isVisible()) << c.name;
        const TColor color = form->CurrentColor();
        c.event();
        EXPECT_FALSE(loupe().isVisible()) << c.name;
        EXPECT_FALSE(desktop.overlayAt) << c.name;
        EXPECT_EQ(form->CurrentColor(), color) << c.name;
    }
    EXPECT_EQ(boxes.shown.size(), 1u); // the unreadable screen's one box
}
