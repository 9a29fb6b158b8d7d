#include "platform/portal/PortalPicker.h"

#include "platform/ColorPortal.h"

PortalPicker::PortalPicker(ColorPortal& portal) : FPortal(portal) {}

// A pick still open is closed: its answer has nowhere to go.
PortalPicker::~PortalPicker()
{
    if (FPortal.isPicking())
        FPortal.cancel();
}

void PortalPicker::start(const QWindow* window, Handlers handlers)
{
    FPortal.pick(window, [ended = std::move(handlers.ended)](const ColorPortal::Answer& answer) {
        using Kind = ColorPortal::Answer::Kind;
        Ending ending;
        switch (answer.kind) {
        case Kind::Color:
            ending = {Ending::Kind::Picked, answer.color};
            break;
        case Kind::Cancelled:
            ending.kind = Ending::Kind::Cancelled;
            break;
        case Kind::Failed:
            ending.kind = Ending::Kind::Failed;
            break;
        }
        if (ended)
            ended(ending);
    });
}

void PortalPicker::stop()
{
    FPortal.cancel();
}

bool PortalPicker::isRunning() const
{
    return FPortal.isPicking();
}
