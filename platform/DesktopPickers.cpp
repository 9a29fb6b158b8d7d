#include "platform/DesktopPickers.h"

#include "platform/Platform.h"
#include "platform/WaylandPickerProbe.h"
#include "platform/portal/PortalPicker.h"
#include "platform/portal/ScreenCastPicker.h"
#include "platform/portal/ScreenCastPortal.h"
#include "platform/portal/ScreenshotPicker.h"
#include "platform/wlroots/WlrootsOverlay.h"
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
    // The one-shot pick, also where another way hands a pick over to it.
    const auto onePick = [&platform]() -> std::unique_ptr<DesktopPicker> {
        if (platform.Portal == nullptr)
            return nullptr;
        return std::make_unique<PortalPicker>(*platform.Portal);
    };
    const auto screenCast = [&platform, onePick] {
        return std::make_unique<ScreenCastPicker>(platform.ScreenCastModule, onePick());
    };
    switch (platform.Picker) {
    case PickerMode::Portal:
        if (platform.Portal != nullptr)
            return std::make_unique<PortalPicker>(*platform.Portal);
        break; // no portal wired: the screen is sampled
    case PickerMode::Wlroots:
        return std::make_unique<WlrootsPicker>();
    case PickerMode::ScreenCast:
        return screenCast();
    case PickerMode::Screenshot:
        // Refused, the pick goes on as the automatic choice would have taken it,
        // later: the ways are captured by value.
        return std::make_unique<ScreenshotPicker>(
            [onePick, screenCast]() -> std::unique_ptr<DesktopPicker> {
                if (ScreenCastPortal::offersCursorMetadata())
                    return screenCast();
                return onePick();
            });
    case PickerMode::Auto:
    case PickerMode::X11:
        break;
    }
    return std::make_unique<X11LivePicker>(platform.Desktop);
}

PickerMode CommandPickWay(PickerMode asked, bool hasDisplay, const WaylandOffers& offers)
{
    PickerMode mode = ResolvePickerMode(asked);
    if (asked == PickerMode::Auto && mode == PickerMode::Portal) {
        if (ChooseWaylandPicker(offers) == PickerMode::Wlroots)
            mode = PickerMode::Wlroots;
        else if (hasDisplay)
            mode = PickerMode::Screenshot;
    }
    return mode == PickerMode::ScreenCast ? PickerMode::Portal : mode;
}

std::unique_ptr<DesktopPicker> MakeCommandPicker(PickerMode mode, ColorPortal& portal)
{
    switch (mode) {
    case PickerMode::Wlroots:
        return std::make_unique<WlrootsPicker>();
    case PickerMode::Screenshot:
        return std::make_unique<ScreenshotPicker>(
            [&portal] { return std::make_unique<PortalPicker>(portal); },
            CommandShowsOnOwnSurfaces() ? FrozenDesktop::Show(&WlrootsOverlay::showPicture)
                                        : FrozenDesktop::Show());
    default:
        return std::make_unique<PortalPicker>(portal);
    }
}

bool CommandShowsOnOwnSurfaces()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
