// The desktop picker: while sampling is on, every 50 ms tick makes the pixel
// under the pointer the current color. The timer's running state is the only
// state; Enter on the focused button, or a click, stops it.
#include "frmMain/TForm1.h"

#include "frmMain/PickerCaptions.h"
#include "frmMain/PickerLoupe.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "platform/DesktopPixels.h"
#include "platform/ThreadsOnOneCpu.h"

#include <QTimer>

// Made when first needed: nothing of the picker's costs anything before the
// window is up.
PickerLoupe& TForm1::Loupe()
{
    if (!FLoupe)
        FLoupe = std::make_unique<PickerLoupe>(FPlatform.Desktop);
    return *FLoupe;
}

void TForm1::btn6Click(QObject*)
{
    if (FPlatform.Picker == PickerMode::Portal && FPlatform.Portal != nullptr) {
        pickThroughPortal(); // one pick by the desktop's own picker
        return;
    }
    if (tmr1->isActive()) {
        tmr1->stop();
        hideLoupe();
        FPlatform.Desktop.keepUnderOverlay(winId(), false);
        FSamplingCpu.reset();
        btn6->setText(PickCaption);
        return;
    }
    FScreenFailureShown = false; // a new run reports an unreadable screen again
    FSamplingCpu = std::make_unique<ThreadsOnOneCpu>();
    FPlatform.Desktop.keepUnderOverlay(winId(), true); // the loupe passes over the window too
    tmr1->start();                                     // the first read comes one interval from now
    btn6->setText(StopCaption);
}

void TForm1::tmr1Timer(QObject*)
{
    btn6->setText(StopCaption); // the same text: nothing is redrawn
    const std::optional<QPoint> pointer = FPlatform.Desktop.cursorPos();
    if (!pointer) {
        hideLoupe();
        if (!FPlatform.Desktop.screenReadable())
            screenUnreadable();
        return; // no point to read this time
    }
    // One read for the pixel and the loupe around it: both show the same moment.
    const std::optional<DesktopPixels::Block> block = Loupe().follow(*pointer);
    if (!block)
        return; // the pointer was on the loupe
    const HSLUtils::TColor sample = sampleColor(block->pixel);
    // A point with no pixel keeps the color the window shows, rather than
    // taking the "no pixel" value for a color.
    if (sample == DesktopPixels::Pixel::NoColor)
        return;
    showPickedColor(sample);
}

HSLUtils::TColor TForm1::DesktopColor(int X, int Y)
{
    return sampleColor(FPlatform.Desktop.pixelAt(X, Y));
}

// The color of a pixel read, or the "no pixel" value. A screen that cannot be
// read at all fails with the toolkit's message once, until a read succeeds
// again or sampling restarts: the timer keeps going, and one error box per
// tick would bury the window. Meanwhile such ticks read nothing.
HSLUtils::TColor TForm1::sampleColor(const DesktopPixels::Pixel& pixel)
{
    using Status = DesktopPixels::Pixel::Status;
    switch (pixel.status) {
    case Status::Color:
        FScreenFailureShown = false;
        return pixel.color;
    case Status::NoPixel:
        break;
    case Status::NoAccess:
        screenUnreadable();
        break;
    }
    return DesktopPixels::Pixel::NoColor;
}

// Whichever read finds the screen unreadable, the pointer's or the pixel's.
void TForm1::screenUnreadable()
{
    if (FScreenFailureShown)
        return;
    FScreenFailureShown = true;
    throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
}

void TForm1::hideLoupe()
{
    if (FLoupe)
        FLoupe->hide();
}
