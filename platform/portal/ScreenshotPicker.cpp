#include "platform/portal/ScreenshotPicker.h"

#include "platform/portal/FrozenScreens.h"
#include "platform/portal/QtDBusColorPortal.h"

#include <QGuiApplication>

namespace {
using EndingKind = DesktopPicker::Ending::Kind;
}

ScreenshotPicker::ScreenshotPicker(Fallback fallback) : FMakeFallback(std::move(fallback)) {}

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
    FScreens = std::make_unique<FrozenScreens>(picture, QGuiApplication::screens());
    if (FScreens->windows().empty()) { // no monitor to show it on
        FScreens.reset();
        fallBack();
        return;
    }
    FScreens->moved = FHandlers.moved;
    FScreens->finished = [this](FrozenScreens::Outcome outcome, HSLUtils::TColor color) {
        // The screens go at the next pick or with the picker, not from inside their
        // own call: their picture is no longer sampled.
        FEndedScreens = std::move(FScreens);
        const Ending ending = outcome == FrozenScreens::Outcome::Picked
                                  ? Ending{EndingKind::Picked, color}
                                  : Ending{EndingKind::Cancelled, 0};
        if (FHandlers.ended)
            FHandlers.ended(ending);
    };
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
    if (FScreens)
        return FScreens.get();
    return FFallback ? FFallback->live() : nullptr;
}
