// The desktop picker: the button starts and stops one DesktopPicker, whichever
// way it reads the desktop. While a live way samples, every 50 ms tick makes
// the pixel under the pointer the current color; a way may also end the pick
// itself, with a color, a cancel or a failure. Enter on the focused button, or
// a click, stops it.
#include "frmMain/TForm1.h"

#include "frmMain/PickerCaptions.h"
#include "frmMain/PickerLoupe.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "platform/DesktopPicker.h"
#include "platform/DesktopPickers.h"
#include "platform/DesktopPixels.h"

#include <QTimer>

// The desktop the ticks read: the live way's while it samples. Ticks that come
// with no pick running (the timer driven alone) read the session's screen.
DesktopPixels& TForm1::SampledDesktop()
{
    if (FPicker)
        if (DesktopPixels* live = FPicker->live())
            return *live;
    return FPlatform.Desktop;
}

// Made when first needed, on the desktop sampled then: nothing of the picker's
// costs anything before the window is up.
PickerLoupe& TForm1::Loupe()
{
    DesktopPixels& desktop = SampledDesktop();
    if (!FLoupe || &FLoupe->desktop() != &desktop)
        FLoupe = std::make_unique<PickerLoupe>(desktop);
    return *FLoupe;
}

void TForm1::btn6Click(QObject*)
{
    if (!FPicker)
        FPicker = MakeDesktopPicker(FPlatform);
    if (FPicker->isRunning()) {
        pickerStopped(); // the color shown stays
        FPicker->stop();
        return;
    }
    FScreenFailureShown = false; // a new run reports an unreadable screen again
    FColorBeforePick = CurrentColor();
    FPickSampled = false;
    winId(); // a live way keeps what its loupe covers of the native window
    DesktopPicker::Handlers handlers;
    handlers.started = [this] {
        FPickSampled = true;
        layNumbersOutUnshaped();
        tmr1->start(); // the first read comes one interval from now
    };
    // The ending comes from the event loop: it is an event of its own, inside the boundary.
    handlers.ended = [this](const DesktopPicker::Ending& ending) {
        FBoundary.run([&] { pickerEnded(ending); });
    };
    FPicker->start(windowHandle(), std::move(handlers));
    btn6->setText(StopCaption);
}

// A live pick gives the number boxes up to nine texts at every tick, and a text
// laid out without the font's shaping rules costs half as much. Digits land on
// the same pixels either way (no kerning or ligature joins them); the hex box
// keeps the rules, for its letters' kerning. Done at the first live pick, not
// when the window is made: the fonts this takes are loaded then, not before the
// window shows.
void TForm1::layNumbersOutUnshaped()
{
    for (TEdit* box : {edt2, edt3, edt4, edt5, edt6, edt7, edt8}) {
        QFont font = box->font();
        if (font.styleStrategy() & QFont::PreferNoShaping)
            continue;
        font.setStyleStrategy(QFont::PreferNoShaping);
        box->setFont(font);
    }
}

void TForm1::pickerStopped()
{
    tmr1->stop();
    hideLoupe();
    // A loupe shown on the way's own desktop goes with it.
    if (FLoupe && &FLoupe->desktop() != &FPlatform.Desktop)
        FLoupe.reset();
    btn6->setText(PickCaption);
}

// The way ended the pick itself: the user picked or cancelled on the desktop's
// side, or the desktop failed.
void TForm1::pickerEnded(const DesktopPicker::Ending& ending)
{
    using Kind = DesktopPicker::Ending::Kind;
    pickerStopped();
    switch (ending.kind) {
    case Kind::Picked:
        showPickedColor(ending.color);
        break;
    case Kind::Cancelled:
        // Ticks showed other colors meanwhile: the one from before comes back.
        if (FPickSampled)
            showPickedColor(FColorBeforePick);
        break;
    case Kind::Failed:
        throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
    }
}

void TForm1::tmr1Timer(QObject*)
{
    // A live way that handed over to a one-shot pick samples nothing more.
    if (FPicker && FPicker->isRunning() && FPicker->live() == nullptr)
        return;
    btn6->setText(StopCaption); // the same text: nothing is redrawn
    DesktopPixels& desktop = SampledDesktop();
    const std::optional<QPoint> pointer = desktop.cursorPos();
    if (!pointer) {
        hideLoupe();
        if (!desktop.screenReadable())
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
    return sampleColor(SampledDesktop().pixelAt(X, Y));
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

// The picked color, shown as a sampling tick shows the pixel it read.
void TForm1::showPickedColor(HSLUtils::TColor color)
{
    setCurrentColor(color);
    TBPosisions();
    edt1->setText(ColorToHTML(CurrentColor())); // read back: TBPosisions may rebuild it
    getRGBparams();
}
