#include "platform/DesktopPickers.h"

#include "platform/Platform.h"
#include "platform/WaylandPickerProbe.h"
#include "platform/portal/PortalPicker.h"
#include "platform/portal/ScreenCastPicker.h"
#include "platform/portal/ScreenCastPortal.h"
#include "platform/wlroots/WlrootsPicker.h"
#include "platform/x11/X11LivePicker.h"

PickerMode ChooseWaylandPicker(const WaylandOffers& offers)
{
    if (offers.screencopy && offers.layerShell)
        return PickerMode::Wlroots;
    if (offers.screenCastPointer)
        return PickerMode::ScreenCast;
    return PickerMode::Portal;
}

std::unique_ptr<DesktopPicker> MakeDesktopPicker(Platform& platform)
{
    if (platform.ProbeCompositor) {
        WaylandOffers offers = ProbeWaylandOffers();
        // The portal is asked only where the compositor offers nothing better.
        if (ChooseWaylandPicker(offers) == PickerMode::Portal)
            offers.screenCastPointer = ScreenCastPortal::offersCursorMetadata();
        platform.Picker = ChooseWaylandPicker(offers);
        // A compositor silent this time is asked again at the next pick.
        platform.ProbeCompositor = !offers.answered;
    }
    switch (platform.Picker) {
    case PickerMode::Portal:
        if (platform.Portal != nullptr)
            return std::make_unique<PortalPicker>(*platform.Portal);
        break; // no portal wired: the screen is sampled
    case PickerMode::Wlroots:
        return std::make_unique<WlrootsPicker>();
    case PickerMode::ScreenCast:
        return std::make_unique<ScreenCastPicker>(
            platform.ScreenCastModule, platform.Portal != nullptr
                                           ? std::make_unique<PortalPicker>(*platform.Portal)
                                           : nullptr);
    case PickerMode::Auto:
    case PickerMode::X11:
        break;
    }
    return std::make_unique<X11LivePicker>(platform.Desktop);
}
