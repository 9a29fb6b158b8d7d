// The window's picker on a headless sway (tests/support/with-sway), as the
// program starts there: the first pick finds the compositor's screen copy and
// overlays, freezes the desktop, and every field follows the pointer over it;
// an arrow key moves the point one pixel, a click or Enter picks, Escape puts
// back the color the window had. The pointer is the tests' own virtual one;
// the expected colors are what grim reads of the output before the pick.
#include "Hex.h"
#include "PickerButtonTexts.h"
#include "QtPrinters.h"
#include "ShownFields.h"
#include "app/DesktopPlatform.h"
#include "app/GuiCommands.h"
#include "app/StartUp.h"
#include "frmMain/TButton.h"
#include "frmMain/TForm1.h"
#include "platform/PackedColor.h"

#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// with-sway's one output.
constexpr QSize Layout(1280, 720);

// The tests' virtual pointer, kept for the whole test: positions in logical pixels.
class VirtualPointer {
public:
    VirtualPointer() { plugIn(); }
    ~VirtualPointer() { unplug(); }
    // The device goes and another comes, as a mouse replaced: the seat loses its
    // last pointer in between.
    void replace()
    {
        unplug();
        plugIn();
    }
    void command(const QByteArray& line) { FProcess.write(line + '\n'); }
    void move(QPoint at)
    {
        command("move " + QByteArray::number(at.x()) + ' ' + QByteArray::number(at.y()));
    }
    // Out of the way, and drawn there, before the desktop is copied: headless, the
    // compositor draws the cursor into the output's picture.
    void park()
    {
        move({Layout.width() - 1, Layout.height() - 1});
        QTest::qWait(300);
    }

private:
    void plugIn()
    {
        FProcess.start(QStringLiteral(HUVELLA_TEST_POINTER),
                       {QString::number(Layout.width()), QString::number(Layout.height())});
        FProcess.waitForStarted();
    }
    void unplug()
    {
        FProcess.closeWriteChannel();
        (void)QTest::qWaitFor([this] { return FProcess.state() == QProcess::NotRunning; }, 10000);
    }

    QProcess FProcess;
};

// Runs a helper to its end while the event loop goes on: the overlay's
// connection must keep reading meanwhile.
int RunAlongside(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 10000))
        return -1;
    return process.exitCode();
}

// The program learns of wtype's keyboard once wtype makes it: the keys wait a little.
int Type(const QStringList& keys)
{
    QStringList arguments{QStringLiteral("-s"), QStringLiteral("300")};
    for (const QString& key : keys)
        arguments << QStringLiteral("-k") << key;
    return RunAlongside(QStringLiteral("wtype"), arguments);
}

// Types `keys` until `done`: each wtype run is a keyboard of its own, and on a
// busy machine its keys can come before the program has taken that keyboard
// from the seat, and are lost as a real keyboard's never are. A key lost is
// typed once more; one merely slow would show as a second step in the result.
template <typename Done> bool TypeUntil(const QStringList& keys, Done done)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (Type(keys) != 0)
            return false;
        if (QTest::qWaitFor(done, 5000))
            return true;
    }
    return false;
}

// A virtual keyboard that stays on the seat while it lives, so that the
// program keeps its keyboard and a wtype run's keys go through it.
struct KeyboardKept {
    KeyboardKept()
    {
        FProcess.start(QStringLiteral("wtype"), {QStringLiteral("-s"), QStringLiteral("600000")});
        FProcess.waitForStarted();
    }
    ~KeyboardKept()
    {
        FProcess.kill();
        FProcess.waitForFinished();
    }
    QProcess FProcess;
};

QImage Screenshot()
{
    QProcess grim;
    grim.start(QStringLiteral("grim"),
               {QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-")});
    grim.waitForFinished();
    return QImage::fromData(grim.readAllStandardOutput(), "PPM");
}

bool WaitForCaption(const TForm1& form, const QString& caption)
{
    return QTest::qWaitFor([&] { return form.btn6->text() == caption; }, 5000);
}

// Starts a pick and waits until its overlays are up and the window samples
// them: the pick starts from the event loop, and a pointer that moved before
// its overlay was there is not seen until it moves again.
bool StartPick(TForm1& form)
{
    QTest::mouseClick(form.btn6, Qt::LeftButton);
    return QTest::qWaitFor([&] { return form.tmr1->isActive(); }, 10000);
}

} // namespace

class WlrootsPick : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), "wayland");
        ConfigureApplication(*qApp);
        // Noise as the background: every pixel differs from its neighbours.
        ASSERT_TRUE(folder.isValid());
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ReadOther |
                                                 QFile::ExeOther);
        QImage noise(Layout, QImage::Format_RGB32);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, QRandomGenerator::global()->generate() | 0xFF000000);
        const QString picture = folder.filePath(QStringLiteral("noise.png"));
        ASSERT_TRUE(noise.save(picture));
        QFile::setPermissions(picture, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        ASSERT_EQ(RunAlongside(QStringLiteral("swaymsg"),
                               {QStringLiteral("output"), QStringLiteral("HEADLESS-1"),
                                QStringLiteral("bg"), picture, QStringLiteral("fill")}),
                  0);
        pointer.park();
        desktop = Screenshot();
        ASSERT_EQ(desktop.size(), Layout);
    }

    HSLUtils::TColor colorAt(QPoint at) const { return FromQRgb(desktop.pixel(at)); }

    // Shows `form`, starts a pick and aims at `at`: true once the fields follow.
    bool pickingAt(TForm1& form, QPoint at)
    {
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            return false;
        if (!StartPick(form))
            return false;
        pointer.move(at);
        return QTest::qWaitFor([&] { return form.CurrentColor() == colorAt(at); }, 5000);
    }

    // Left of the window, which sway floats in the middle.
    const QPoint A{100, 100}, B{200, 650}, C{1100, 300}, D{60, 400};
    QTemporaryDir folder;
    VirtualPointer pointer;
    QImage desktop;
};

TEST_F(WlrootsPick, TheFieldsFollowThePointerOverTheFrozenDesktop)
{
    DesktopPlatform platform; // as the program starts: Auto
    TForm1 form(platform.platform);
    OpenOnColor(form, QStringLiteral("#FF8000"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(200);
    const ShownFields before = ShownFields::of(form);

    // Escape: the color from before the pick comes back.
    ASSERT_TRUE(StartPick(form));
    EXPECT_EQ(platform.platform.Picker, PickerMode::Wlroots);
    EXPECT_EQ(form.btn6->text(), Stop);
    pointer.move(A);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.CurrentColor() == colorAt(A); }, 5000))
        << hex(form.CurrentColor()) << " for " << hex(colorAt(A));
    EXPECT_EQ(ShownFields::of(form), ShownFields::consistentWith(colorAt(A)));
    pointer.move(B);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.CurrentColor() == colorAt(B); }, 5000));
    EXPECT_TRUE(TypeUntil({QStringLiteral("Escape")}, [&] { return form.btn6->text() == Pick; }));
    EXPECT_EQ(ShownFields::of(form), before);

    // A click picks the pixel under the pointer; the fields keep it.
    pointer.park();
    ASSERT_TRUE(StartPick(form));
    pointer.move(C);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.CurrentColor() == colorAt(C); }, 5000));
    pointer.command("click left");
    EXPECT_TRUE(WaitForCaption(form, Pick));
    QTest::qWait(150); // no tick comes after the pick
    EXPECT_EQ(ShownFields::of(form), ShownFields::consistentWith(colorAt(C)));

    // An arrow key moves the point one pixel, Enter picks it.
    pointer.park();
    ASSERT_TRUE(StartPick(form));
    pointer.move(D);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.CurrentColor() == colorAt(D); }, 5000));
    EXPECT_TRUE(TypeUntil({QStringLiteral("Right")},
                          [&] { return form.CurrentColor() == colorAt(D + QPoint(1, 0)); }));
    EXPECT_TRUE(TypeUntil({QStringLiteral("Return")}, [&] { return form.btn6->text() == Pick; }));
    EXPECT_EQ(ShownFields::of(form), ShownFields::consistentWith(colorAt(D + QPoint(1, 0))));
}

// Devices replaced during a pick: every wtype run is a keyboard of its own that
// comes and goes, and the pointer is unplugged and another plugged in. Each new
// device is heard.
TEST_F(WlrootsPick, DevicesReplacedDuringAPickAreHeard)
{
    DesktopPlatform platform;
    TForm1 form(platform.platform);
    ASSERT_TRUE(pickingAt(form, D));
    EXPECT_TRUE(TypeUntil({QStringLiteral("Right")},
                          [&] { return form.CurrentColor() == colorAt(D + QPoint(1, 0)); }));
    EXPECT_TRUE(TypeUntil({QStringLiteral("Down")}, [&] {
        return form.CurrentColor() == colorAt(D + QPoint(1, 1));
    })) << "a second keyboard's key was lost";

    pointer.replace();
    pointer.move(A);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.CurrentColor() == colorAt(A); }, 5000))
        << "a new pointer's motion was lost";
    pointer.command("click left");
    EXPECT_TRUE(WaitForCaption(form, Pick)) << "a new pointer's click was lost";
    EXPECT_EQ(ShownFields::of(form), ShownFields::consistentWith(colorAt(A)));
}

// An output plugged in during a pick is frozen and covered like the others: the
// pointer over it aims at its copy, placed right of the first output, and a click
// there picks rather than reaching the window below. On a sway of its own: sway
// 1.7 cannot unplug the output again.
class WlrootsPickOutput : public WlrootsPick {};

TEST_F(WlrootsPickOutput, AnOutputAddedDuringAPickIsFrozenToo)
{
    DesktopPlatform platform;
    TForm1 form(platform.platform);
    ASSERT_TRUE(pickingAt(form, A));

    ASSERT_EQ(RunAlongside(QStringLiteral("swaymsg"), {QStringLiteral("create_output")}), 0);
    // The new output, as it shows now (under the overlay, once that is up).
    const QPoint on(200, 300);
    QImage second;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QProcess grim;
            grim.start(QStringLiteral("grim"),
                       {QStringLiteral("-o"), QStringLiteral("HEADLESS-2"), QStringLiteral("-t"),
                        QStringLiteral("ppm"), QStringLiteral("-")});
            if (!QTest::qWaitFor([&] { return grim.state() == QProcess::NotRunning; }, 10000))
                return false;
            second = QImage::fromData(grim.readAllStandardOutput(), "PPM");
            return !second.isNull();
        },
        10000));
    const HSLUtils::TColor want = FromQRgb(second.pixel(on));

    // The pointer's extent is the first output's; the layout has grown to the right.
    const QSize layout(Layout.width() + second.width(), std::max(Layout.height(), second.height()));
    pointer.move({(Layout.width() + on.x()) * Layout.width() / layout.width(),
                  on.y() * Layout.height() / layout.height()});
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.CurrentColor() == want; }, 5000))
        << hex(form.CurrentColor()) << " for " << hex(want);
    pointer.command("click left");
    EXPECT_TRUE(WaitForCaption(form, Pick)) << "the click passed through the new output";
    EXPECT_EQ(ShownFields::of(form), ShownFields::consistentWith(want));
}

// An arrow key held down goes on moving the point, one pixel a step at the
// seat's rate, until it is let go; Enter then picks where it stopped.
TEST_F(WlrootsPick, AHeldArrowKeyRepeats)
{
    DesktopPlatform platform;
    TForm1 form(platform.platform);
    const KeyboardKept keyboard;
    ASSERT_TRUE(pickingAt(form, D));
    // Held 3 s, well past the seat's delay of 0.6 s, through the keyboard kept:
    // wtype stamps its keys 0, so the program times the hold itself, from when
    // it reads the press, which on a busy machine can come late.
    EXPECT_EQ(RunAlongside(QStringLiteral("wtype"),
                           {QStringLiteral("-s"), QStringLiteral("300"), QStringLiteral("-P"),
                            QStringLiteral("Right"), QStringLiteral("-s"), QStringLiteral("3000"),
                            QStringLiteral("-p"), QStringLiteral("Right"), QStringLiteral("-k"),
                            QStringLiteral("Return")}),
              0);
    ASSERT_TRUE(WaitForCaption(form, Pick));
    int moved = 0;
    while (moved < Layout.width() - D.x() && colorAt(D + QPoint(moved, 0)) != form.CurrentColor())
        ++moved;
    EXPECT_GE(moved, 2) << "picked " << hex(form.CurrentColor());
    EXPECT_LT(moved, Layout.width() - D.x()) << "picked " << hex(form.CurrentColor());
}
