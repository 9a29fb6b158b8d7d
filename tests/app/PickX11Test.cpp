// `huvella --pick` on a real X server: this test's own client puts known colors
// on the screen and drives the real pointer and keyboard through XTest, as a
// user would; the picked color is what the real binary prints.
#include "QtPrinters.h"
#include "TestScreen.h"

#include <gtest/gtest.h> // before Xlib, whose None macro it would not survive

#include <QProcess>
#include <QThread>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <vector>

namespace {

// An Xlib client with XTest: the real pointer and keys, and grabs of its own.
class Input {
public:
    Input() : FDisplay(XOpenDisplay(nullptr)) {}
    ~Input()
    {
        if (FDisplay != nullptr)
            XCloseDisplay(FDisplay);
    }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;

    void moveTo(QPoint at)
    {
        XTestFakeMotionEvent(FDisplay, -1, at.x(), at.y(), 0);
        XSync(FDisplay, False);
    }
    void click(unsigned button)
    {
        XTestFakeButtonEvent(FDisplay, button, True, 0);
        XTestFakeButtonEvent(FDisplay, button, False, 0);
        XSync(FDisplay, False);
    }
    void key(KeySym symbol)
    {
        const KeyCode code = XKeysymToKeycode(FDisplay, symbol);
        XTestFakeKeyEvent(FDisplay, code, True, 0);
        XTestFakeKeyEvent(FDisplay, code, False, 0);
        XSync(FDisplay, False);
    }
    QPoint pointer()
    {
        Window root = 0;
        Window child = 0;
        int x = 0;
        int y = 0;
        int winX = 0;
        int winY = 0;
        unsigned mask = 0;
        XQueryPointer(FDisplay, DefaultRootWindow(FDisplay), &root, &child, &x, &y, &winX, &winY,
                      &mask);
        return {x, y};
    }
    // True when another client holds the pointer or the keyboard: the grab
    // this client tries is refused (and when it is granted, let go at once).
    bool heldElsewhere()
    {
        const Window root = DefaultRootWindow(FDisplay);
        const int pointer = XGrabPointer(FDisplay, root, False, ButtonPressMask, GrabModeAsync,
                                         GrabModeAsync, None, None, CurrentTime);
        if (pointer == GrabSuccess)
            XUngrabPointer(FDisplay, CurrentTime);
        const int keyboard =
            XGrabKeyboard(FDisplay, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        if (keyboard == GrabSuccess)
            XUngrabKeyboard(FDisplay, CurrentTime);
        XSync(FDisplay, False);
        return pointer == AlreadyGrabbed && keyboard == AlreadyGrabbed;
    }
    bool grabPointer()
    {
        const bool granted =
            XGrabPointer(FDisplay, DefaultRootWindow(FDisplay), False, ButtonPressMask,
                         GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
        XSync(FDisplay, False);
        return granted;
    }

private:
    Display* FDisplay;
};

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

class PickX11 : public ::testing::Test {
protected:
    // A 2 x 2 tile at `Origin`, so each neighbour of a pixel has another color.
    static constexpr QPoint Origin{300, 200};
    static constexpr QPoint A = Origin;
    static constexpr QPoint B = Origin + QPoint(1, 0);
    static constexpr QPoint C = Origin + QPoint(0, 1);
    static constexpr QPoint D = Origin + QPoint(1, 1);

    void SetUp() override
    {
        screen.setWallpaper(0x000000);
        screen.showWindow(QRect(Origin, QSize(2, 2)), {0x0080FF, 0x123456, 0xFF0000, 0x00FF00}, 2);
    }

    // Starts a pick and waits until it holds the pointer and the keyboard.
    bool start(const QStringList& arguments = {})
    {
        program.start(QStringLiteral(HUVELLA_PROGRAM),
                      QStringList{QStringLiteral("--pick")} + arguments);
        for (int i = 0; i < 1500 && program.state() != QProcess::NotRunning; ++i) {
            if (input.heldElsewhere())
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    Outcome finish()
    {
        if (!program.waitForFinished(20000) || program.exitStatus() != QProcess::NormalExit)
            return {};
        return {program.exitCode(), program.readAllStandardOutput(),
                program.readAllStandardError()};
    }

    TestScreen screen;
    Input input;
    QProcess program;
};

TEST_F(PickX11, LeftClickPrintsThePixelUnderThePointer)
{
    input.moveTo(B);
    ASSERT_TRUE(start());
    input.click(1);
    const Outcome outcome = finish();
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, QByteArray("#563412\n")); // 0x123456 is blue 0x12, red 0x56
    EXPECT_EQ(outcome.err, QByteArray());
}

TEST_F(PickX11, EnterPicksInTheAskedFormat)
{
    input.moveTo(A);
    ASSERT_TRUE(start({QStringLiteral("--format"), QStringLiteral("hsl")}));
    input.key(XK_Return);
    const Outcome outcome = finish();
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, QByteArray("20 240 120\n"));
}

TEST_F(PickX11, ArrowKeysMoveThePointerOnePhysicalPixel)
{
    struct Row {
        const char* name;
        std::vector<KeySym> keys;
        QPoint lands;
        QByteArray out;
    };
    const Row rows[] = {
        {"right", {XK_Right}, B, "#563412\n"},
        {"down", {XK_Down}, C, "#0000FF\n"},
        {"right and down", {XK_Right, XK_Down}, D, "#00FF00\n"},
        {"right and back left", {XK_Right, XK_Left}, A, "#FF8000\n"},
        {"down and back up", {XK_Down, XK_Up}, A, "#FF8000\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        input.moveTo(A);
        ASSERT_TRUE(start());
        for (const KeySym key : row.keys)
            input.key(key);
        input.key(XK_Return);
        const Outcome outcome = finish();
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.out, row.out);
        EXPECT_EQ(input.pointer(), row.lands);
    }
}

TEST_F(PickX11, EscapeAndRightClickCancelWithNothingPrinted)
{
    for (const bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Esc" : "right click");
        input.moveTo(A);
        ASSERT_TRUE(start());
        if (escape)
            input.key(XK_Escape);
        else
            input.click(3);
        const Outcome outcome = finish();
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, QByteArray());
        EXPECT_EQ(outcome.err, QByteArray());
    }
}

TEST_F(PickX11, APointerHeldByAnotherProgramFailsWithAReason)
{
    ASSERT_TRUE(input.grabPointer());
    program.start(QStringLiteral(HUVELLA_PROGRAM), {QStringLiteral("--pick")});
    const Outcome outcome = finish();
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, QByteArray());
    EXPECT_EQ(outcome.err,
              QByteArray("huvella: cannot grab the pointer: another program holds it\n"));
}

} // namespace
