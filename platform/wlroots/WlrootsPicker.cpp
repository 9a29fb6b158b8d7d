#include "platform/wlroots/WlrootsPicker.h"

#include "platform/wlroots/WlrootsOverlay.h"

#include <QTimer>

WlrootsPicker::WlrootsPicker() = default;
WlrootsPicker::~WlrootsPicker() = default;

bool WlrootsPicker::prepare()
{
    if (!FOverlay && FFailure.isEmpty())
        FOverlay = WlrootsOverlay::open(FFailure);
    return FOverlay != nullptr;
}

void WlrootsPicker::start(const QWindow*, Handlers handlers)
{
    if (!FOverlay)
        FFailure.clear(); // a new pick tries again
    if (!prepare()) {
        // The ending comes from the event loop, never from inside start().
        QTimer::singleShot(0, [ended = std::move(handlers.ended)] {
            if (ended)
                ended({Ending::Kind::Failed, 0});
        });
        return;
    }
    FOverlay->moved = handlers.moved;
    FOverlay->finished = [this, ended = handlers.ended](WlrootsOverlay::Outcome outcome,
                                                        HSLUtils::TColor color) {
        // The overlay goes once this call is over; its desktop is no longer sampled.
        QTimer::singleShot(0, [overlay = std::shared_ptr<WlrootsOverlay>(std::move(FOverlay))] {});
        Ending ending{Ending::Kind::Failed, 0};
        if (outcome == WlrootsOverlay::Outcome::Picked)
            ending = {Ending::Kind::Picked, color};
        else if (outcome == WlrootsOverlay::Outcome::Cancelled)
            ending.kind = Ending::Kind::Cancelled;
        if (ended)
            ended(ending);
    };
    FOverlay->listen();
    if (handlers.started)
        handlers.started();
}

void WlrootsPicker::stop()
{
    FOverlay.reset();
}

bool WlrootsPicker::isRunning() const
{
    return FOverlay != nullptr;
}

DesktopPixels* WlrootsPicker::live()
{
    return FOverlay.get();
}
