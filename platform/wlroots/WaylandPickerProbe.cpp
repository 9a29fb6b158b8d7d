#include "platform/WaylandPickerProbe.h"

#include <cstring>
#include <wayland-client.h>

namespace {

void OfferAnnounced(void* data, wl_registry*, uint32_t, const char* interface, uint32_t)
{
    auto& offers = *static_cast<WaylandOffers*>(data);
    if (std::strcmp(interface, "zwlr_screencopy_manager_v1") == 0)
        offers.screencopy = true;
    else if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0)
        offers.layerShell = true;
}

void OfferRemoved(void*, wl_registry*, uint32_t) {}

const wl_registry_listener OffersListener{OfferAnnounced, OfferRemoved};

} // namespace

WaylandOffers ProbeWaylandOffers()
{
    WaylandOffers offers;
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return offers;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &OffersListener, &offers);
    if (wl_display_roundtrip(display) < 0)
        offers = {};
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offers;
}
