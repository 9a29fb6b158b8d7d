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
    if (FOverlay) { // prepared before the toolkit started
        run(std::move(handlers));
        return;
    }
    FFailure.clear(); // a new pick tries again
    // From the event loop, so that the window goes on while the compositor
    // copies and covers the outputs, or takes its time.
    FOverlay = WlrootsOverlay::openLater(
        [this, handlers](const QString& failure) {
            if (failure.isEmpty()) {
                run(handlers);
                return;
            }
            FFailure = failure;
            fail(handlers);
        },
        FFailure);
    if (!FOverlay)
        fail(std::move(handlers));
}

// The ending comes from the event loop, never from inside start() or the
// overlay's own call; the overlay goes with it.
void WlrootsPicker::fail(Handlers handlers)
{
    QTimer::singleShot(0, [overlay = std::shared_ptr<WlrootsOverlay>(std::move(FOverlay)),
                           ended = std::move(handlers.ended)] {
        if (ended)
            ended({Ending::Kind::Failed, 0});
    });
}

void WlrootsPicker::run(Handlers handlers)
{
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
    return FOverlay && FOverlay->up() ? FOverlay.get() : nullptr;
}
