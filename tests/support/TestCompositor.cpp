// huvella-test-compositor: a Wayland compositor of the tests' own, for what a
// real one cannot be made to do. It offers what the wlroots picker binds (the
// compositor, shared memory, one output, the screen copy, the layer shell and a
// seat with no devices) and misbehaves as MODE says:
//   noseat   copies each output (black) and configures each layer surface,
//            but offers no wl_seat at all
//   huge     announces a copy of 30000 x 30000 pixels (3.6 GB), and refuses a
//            pool of a size no int32 holds, as real compositors do
//   silent   takes the copy and never says it is ready
// Prints the socket's name once it listens, then serves until killed.
//   huvella-test-compositor MODE
#include "wlr-layer-shell-unstable-v1-server-protocol.h"
#include "wlr-screencopy-unstable-v1-server-protocol.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <wayland-server.h>

namespace {

std::string Mode;
uint32_t Serial = 0;

// A resource whose requests all do nothing but the destructor.
void Destroy(wl_client*, wl_resource* resource)
{
    wl_resource_destroy(resource);
}
template <class... Args> void Ignore(wl_client*, wl_resource*, Args...) {}

// wl_surface, wl_region, wl_buffer
const struct wl_surface_interface SurfaceImpl = {Destroy,
                                                 Ignore<wl_resource*, int32_t, int32_t>,
                                                 Ignore<int32_t, int32_t, int32_t, int32_t>,
                                                 Ignore<uint32_t>,
                                                 Ignore<wl_resource*>,
                                                 Ignore<wl_resource*>,
                                                 Ignore<>,
                                                 Ignore<int32_t>,
                                                 Ignore<int32_t>,
                                                 Ignore<int32_t, int32_t, int32_t, int32_t>,
                                                 Ignore<int32_t, int32_t>};
const struct wl_region_interface RegionImpl = {Destroy, Ignore<int32_t, int32_t, int32_t, int32_t>,
                                               Ignore<int32_t, int32_t, int32_t, int32_t>};
const struct wl_buffer_interface BufferImpl = {Destroy};

void CreateSurface(wl_client* client, wl_resource* compositor, uint32_t id)
{
    wl_resource* surface =
        wl_resource_create(client, &wl_surface_interface, wl_resource_get_version(compositor), id);
    wl_resource_set_implementation(surface, &SurfaceImpl, nullptr, nullptr);
}
void CreateRegion(wl_client* client, wl_resource*, uint32_t id)
{
    wl_resource* region = wl_resource_create(client, &wl_region_interface, 1, id);
    wl_resource_set_implementation(region, &RegionImpl, nullptr, nullptr);
}
const struct wl_compositor_interface CompositorImpl = {CreateSurface, CreateRegion};

void CreateBuffer(wl_client* client, wl_resource*, uint32_t id, int32_t, int32_t, int32_t, int32_t,
                  uint32_t)
{
    wl_resource* buffer = wl_resource_create(client, &wl_buffer_interface, 1, id);
    wl_resource_set_implementation(buffer, &BufferImpl, nullptr, nullptr);
}
const struct wl_shm_pool_interface PoolImpl = {CreateBuffer, Destroy, Ignore<int32_t>};

void CreatePool(wl_client* client, wl_resource* shm, uint32_t id, int32_t fd, int32_t size)
{
    close(fd);
    if (size <= 0) {
        wl_resource_post_error(shm, WL_SHM_ERROR_INVALID_STRIDE, "invalid pool size %d", size);
        return;
    }
    wl_resource* pool = wl_resource_create(client, &wl_shm_pool_interface, 1, id);
    wl_resource_set_implementation(pool, &PoolImpl, nullptr, nullptr);
}
const struct wl_shm_interface ShmImpl = {CreatePool};

const struct wl_output_interface OutputImpl = {Destroy};

// The copy of an output: 640 x 480 XRGB8888, or what the mode makes of it.
void Copy(wl_client*, wl_resource* frame, wl_resource*)
{
    if (Mode == "silent")
        return;
    zwlr_screencopy_frame_v1_send_flags(frame, 0);
    zwlr_screencopy_frame_v1_send_ready(frame, 0, 0, 0);
}
const struct zwlr_screencopy_frame_v1_interface FrameImpl = {Copy, Destroy};

void CaptureOutput(wl_client* client, wl_resource*, uint32_t id, int32_t, wl_resource*)
{
    wl_resource* frame = wl_resource_create(client, &zwlr_screencopy_frame_v1_interface, 1, id);
    wl_resource_set_implementation(frame, &FrameImpl, nullptr, nullptr);
    const uint32_t side = Mode == "huge" ? 30000 : 0;
    zwlr_screencopy_frame_v1_send_buffer(frame, WL_SHM_FORMAT_XRGB8888, side ? side : 640,
                                         side ? side : 480, (side ? side : 640) * 4);
}
const struct zwlr_screencopy_manager_v1_interface ScreencopyImpl = {CaptureOutput};

const struct zwlr_layer_surface_v1_interface LayerSurfaceImpl = {
    Ignore<uint32_t, uint32_t>,
    Ignore<uint32_t>,
    Ignore<int32_t>,
    Ignore<int32_t, int32_t, int32_t, int32_t>,
    Ignore<uint32_t>,
    Ignore<wl_resource*>,
    Ignore<uint32_t>,
    Destroy};

void GetLayerSurface(wl_client* client, wl_resource*, uint32_t id, wl_resource*, wl_resource*,
                     uint32_t, const char*)
{
    wl_resource* layer = wl_resource_create(client, &zwlr_layer_surface_v1_interface, 1, id);
    wl_resource_set_implementation(layer, &LayerSurfaceImpl, nullptr, nullptr);
    zwlr_layer_surface_v1_send_configure(layer, ++Serial, 640, 480);
}
const struct zwlr_layer_shell_v1_interface LayerShellImpl = {GetLayerSurface};

const struct wl_seat_interface SeatImpl = {Ignore<uint32_t>, Ignore<uint32_t>, Ignore<uint32_t>,
                                           Destroy};

struct Global {
    const wl_interface* interface;
    const void* impl;
};

// Binds a global to its implementation, and says what it must at once.
void Bind(wl_client* client, void* data, uint32_t version, uint32_t id)
{
    const auto& global = *static_cast<const Global*>(data);
    wl_resource* resource =
        wl_resource_create(client, global.interface, static_cast<int>(version), id);
    wl_resource_set_implementation(resource, global.impl, nullptr, nullptr);
    if (global.interface == &wl_shm_interface) {
        wl_shm_send_format(resource, WL_SHM_FORMAT_ARGB8888);
        wl_shm_send_format(resource, WL_SHM_FORMAT_XRGB8888);
    } else if (global.interface == &wl_output_interface) {
        wl_output_send_geometry(resource, 0, 0, 160, 120, WL_OUTPUT_SUBPIXEL_UNKNOWN, "huvella",
                                "test", WL_OUTPUT_TRANSFORM_NORMAL);
        wl_output_send_mode(resource, WL_OUTPUT_MODE_CURRENT, 640, 480, 60000);
        wl_output_send_scale(resource, 1);
        wl_output_send_done(resource);
    } else if (global.interface == &wl_seat_interface) {
        wl_seat_send_capabilities(resource, 0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: huvella-test-compositor noseat|huge|silent\n");
        return 2;
    }
    Mode = argv[1];
    wl_display* display = wl_display_create();
    const char* socket = wl_display_add_socket_auto(display);
    if (socket == nullptr) {
        std::fprintf(stderr, "huvella-test-compositor: no socket\n");
        return 1;
    }
    static const Global globals[] = {
        {&wl_compositor_interface, &CompositorImpl},
        {&wl_shm_interface, &ShmImpl},
        {&wl_output_interface, &OutputImpl},
        {&zwlr_screencopy_manager_v1_interface, &ScreencopyImpl},
        {&zwlr_layer_shell_v1_interface, &LayerShellImpl},
        {&wl_seat_interface, &SeatImpl},
    };
    for (const Global& global : globals) {
        if (global.interface == &wl_seat_interface && Mode == "noseat")
            continue;
        const int version = global.interface == &wl_compositor_interface ? 4
                            : global.interface == &wl_output_interface   ? 2
                            : global.interface == &wl_seat_interface     ? 5
                                                                         : 1;
        wl_global_create(display, global.interface, version, const_cast<Global*>(&global), Bind);
    }
    std::printf("%s\n", socket);
    std::fflush(stdout);
    wl_display_run(display);
    wl_display_destroy(display);
    return 0;
}
