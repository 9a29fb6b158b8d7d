#include "platform/portal/ScreenshotPicker.h"

#include "platform/portal/FrozenScreens.h"
#include "platform/portal/QtDBusColorPortal.h"

#include <QGuiApplication>

namespace {
using EndingKind = DesktopPicker::Ending::Kind;
}

ScreenshotPicker::ScreenshotPicker(Fallback fallback, FrozenDesktop::Show show)
    : FMakeFallback(std::move(fallback)), FShow(show ? std::move(show) : &FrozenScreens::show)
{
}

ScreenshotPicker::~ScreenshotPicker() = default;

void ScreenshotPicker::start(const QWindow* window, Handlers handlers)
{
    stop();
    FWindow = window;
    FHandlers = std::move(handlers);
    FPortal.take(QtDBusColorPortal::parentWindowOf(window),
                 [this](const QImage& picture) { onTaken(picture); });
}

void ScreenshotPicker::onTaken(const QImage& picture)
{
    if (picture.isNull()) {
        fallBack();
        return;
    }
    FShown = false;
    FScreens = FShow(picture, [this](const QString& failure) { onShown(failure); });
    if (!FScreens) {
        fallBack();
        return;
    }
    FScreens->moved = FHandlers.moved;
    FScreens->finished = [this](FrozenDesktop::Outcome outcome, HSLUtils::TColor color) {
        // The frame goes at the next pick or with the picker, not from inside its
        // own call: its picture is no longer sampled.
        FEndedScreens = std::move(FScreens);
        FShown = false;
        Ending ending{EndingKind::Failed, 0};
        if (outcome == FrozenDesktop::Outcome::Picked)
            ending = {EndingKind::Picked, color};
        else if (outcome == FrozenDesktop::Outcome::Cancelled)
            ending = {EndingKind::Cancelled, 0};
        if (FHandlers.ended)
            FHandlers.ended(ending);
    };
}

// A frame that cannot be shown (no monitor, no surface the desktop takes)
// is a refused picture: the fallback way takes over.
void ScreenshotPicker::onShown(const QString& failure)
{
    if (!failure.isEmpty()) {
        FEndedScreens = std::move(FScreens);
        fallBack();
        return;
    }
    FShown = true;
    if (FHandlers.started)
        FHandlers.started();
}

// The portal gave no picture: the pick goes on by the fallback way, with the
// same handlers, as if it had been chosen; without one it fails.
void ScreenshotPicker::fallBack()
{
    FFallback = FMakeFallback ? FMakeFallback() : nullptr;
    if (FFallback) {
        FFallback->start(FWindow, FHandlers);
        return;
    }
    if (FHandlers.ended)
        FHandlers.ended({EndingKind::Failed, 0});
}

void ScreenshotPicker::stop()
{
    FPortal.cancel();
    FScreens.reset();
    FShown = false;
    FEndedScreens.reset();
    if (FFallback)
        FFallback->stop();
}

bool ScreenshotPicker::isRunning() const
{
    return FPortal.isTaking() || FScreens != nullptr || (FFallback && FFallback->isRunning());
}

DesktopPixels* ScreenshotPicker::live()
{
    if (FScreens && FShown)
        return FScreens.get();
    return FFallback ? FFallback->live() : nullptr;
}
