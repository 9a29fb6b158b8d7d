#include "platform/DesktopPickers.h"

#include "platform/Platform.h"
#include "platform/PortalPicker.h"
#include "platform/ScreenCastPicker.h"
#include "platform/ScreenCastPortal.h"
#include "platform/WaylandPickerProbe.h"
#include "platform/WlrootsPicker.h"
#include "platform/X11LivePicker.h"
#include "platform/portal/ScreenshotPicker.h"

std::unique_ptr<DesktopPicker> MakeDesktopPicker(Platform& platform)
{
    if (platform.ProbeCompositor) {
        WaylandOffers offers = ProbeWaylandOffers();
        // The portal is asked only where the compositor offers nothing better.
        if (ChooseWaylandPicker(offers) == PickerMode::Portal)
            offers.screenCastPointer = ScreenCastPortal::offersCursorMetadata();
        platform.Picker = ChooseWaylandPicker(offers);
        platform.ProbeCompositor = false;
    }
    switch (platform.Picker) {
    case PickerMode::Portal:
        if (platform.Portal != nullptr)
            return std::make_unique<PortalPicker>(*platform.Portal);
        break; // no portal wired: the screen is sampled
    case PickerMode::Wlroots:
        return std::make_unique<WlrootsPicker>();
    case PickerMode::ScreenCast:
        return std::make_unique<ScreenCastPicker>(platform.ScreenCastModule);
    case PickerMode::Screenshot:
        // Refused, the pick goes on as the automatic choice would have taken it.
        return std::make_unique<ScreenshotPicker>([&platform]() -> std::unique_ptr<DesktopPicker> {
            if (ScreenCastPortal::offersCursorMetadata())
                return std::make_unique<ScreenCastPicker>(platform.ScreenCastModule);
            if (platform.Portal != nullptr)
                return std::make_unique<PortalPicker>(*platform.Portal);
            return nullptr;
        });
    case PickerMode::Auto:
    case PickerMode::X11:
        break;
    }
    return std::make_unique<X11LivePicker>(platform.Desktop);
}
