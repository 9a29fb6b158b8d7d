// The desktop picker: while sampling is on, every 50 ms tick makes the pixel
// under the pointer the current color. The timer's running state is the only
// state; Enter on the focused button, or a click, stops it.
#include "frmMain/TForm1.h"

#include "frmMain/PickerCaptions.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "platform/DesktopPixels.h"

#include <QTimer>

void TForm1::btn6Click(QObject*)
{
    if (FPlatform.Picker == PickerMode::Portal && FPlatform.Portal != nullptr) {
        pickThroughPortal(); // one pick by the desktop's own picker
        return;
    }
    if (tmr1->isActive()) {
        tmr1->stop();
        btn6->setText(PickCaption);
        return;
    }
    FScreenFailureShown = false; // a new run reports an unreadable screen again
    tmr1->start();               // the first read comes one interval from now
    btn6->setText(StopCaption);
}

void TForm1::tmr1Timer(QObject*)
{
    btn6->setText(StopCaption); // the same text: nothing is redrawn
    const std::optional<QPoint> pointer = FPlatform.Desktop.cursorPos();
    if (!pointer)
        return; // no point to read this time
    const HSLUtils::TColor sample = DesktopColor(pointer->x(), pointer->y());
    // A point with no pixel keeps the color the window shows, rather than
    // taking the "no pixel" value for a color.
    if (sample == DesktopPixels::Pixel::NoColor)
        return;
    setCurrentColor(sample);
    TBPosisions();
    edt1->setText(ColorToHTML(CurrentColor())); // read back: TBPosisions may rebuild it
    getRGBparams();
}

// The color of the desktop pixel at (X, Y), or the "no pixel" value. A screen
// that cannot be read at all fails with the toolkit's message once, until a
// read succeeds again or sampling restarts: the timer keeps going, and one
// error box per tick would bury the window. Meanwhile such ticks read nothing.
HSLUtils::TColor TForm1::DesktopColor(int X, int Y)
{
    using Status = DesktopPixels::Pixel::Status;
    const DesktopPixels::Pixel pixel = FPlatform.Desktop.pixelAt(X, Y);
    switch (pixel.status) {
    case Status::Color:
        FScreenFailureShown = false;
        return pixel.color;
    case Status::NoPixel:
        break;
    case Status::NoAccess:
        if (!FScreenFailureShown) {
            FScreenFailureShown = true;
            throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
        }
        break;
    }
    return DesktopPixels::Pixel::NoColor;
}
