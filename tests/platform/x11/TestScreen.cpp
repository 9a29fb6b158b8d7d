#include "TestScreen.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>
// Xlib only for its test extension's input; its macros come after every other header.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply>;

std::uint16_t to16Bits(HSLUtils::TColor color, int shift)
{
    return static_cast<std::uint16_t>((color >> shift & 0xFF) * 257);
}

} // namespace

TestScreen::TestScreen()
{
    int screenNumber = 0;
    FXcb = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(FXcb) != 0) {
        ADD_FAILURE() << "no X server at DISPLAY";
        return;
    }
    auto it = xcb_setup_roots_iterator(xcb_get_setup(FXcb));
    for (; screenNumber > 0; --screenNumber)
        xcb_screen_next(&it);
    FRoot = it.data->root;
    FColormap = it.data->default_colormap;
    FDepth = it.data->root_depth;
    FSize = QSize(it.data->width_in_pixels, it.data->height_in_pixels);
}

TestScreen::~TestScreen()
{
    xcb_disconnect(FXcb);
}

TestScreen::Allocated TestScreen::allocate(HSLUtils::TColor wanted)
{
    const Reply<xcb_alloc_color_reply_t> color(
        xcb_alloc_color_reply(FXcb,
                              xcb_alloc_color(FXcb, FColormap, to16Bits(wanted, 0),
                                              to16Bits(wanted, 8), to16Bits(wanted, 16)),
                              nullptr));
    if (!color) {
        ADD_FAILURE() << "the server gave no pixel for " << std::hex << wanted;
        return {0, -1};
    }
    return {color->pixel, color->red >> 8 | (color->green >> 8) << 8 | (color->blue >> 8) << 16};
}

std::uint32_t TestScreen::showWindow(QRect at, const std::vector<HSLUtils::TColor>& colors,
                                     int columns)
{
    const int rows = static_cast<int>(colors.size()) / columns;
    const xcb_pixmap_t tile = xcb_generate_id(FXcb);
    xcb_create_pixmap(FXcb, FDepth, tile, FRoot, static_cast<std::uint16_t>(columns),
                      static_cast<std::uint16_t>(rows));
    const xcb_gcontext_t gc = xcb_generate_id(FXcb);
    xcb_create_gc(FXcb, gc, tile, 0, nullptr);
    for (int i = 0; i < static_cast<int>(colors.size()); ++i) {
        const std::uint32_t foreground = allocate(colors[static_cast<std::size_t>(i)]).pixel;
        xcb_change_gc(FXcb, gc, XCB_GC_FOREGROUND, &foreground);
        const xcb_rectangle_t dot{static_cast<std::int16_t>(i % columns),
                                  static_cast<std::int16_t>(i / columns), 1, 1};
        xcb_poly_fill_rectangle(FXcb, tile, gc, 1, &dot);
    }
    xcb_free_gc(FXcb, gc);

    // Override-redirect: no window manager moves it, and its background tile is
    // repainted by the server itself whenever it is exposed.
    const xcb_window_t window = xcb_generate_id(FXcb);
    const std::uint32_t values[] = {tile, 1};
    xcb_create_window(FXcb, XCB_COPY_FROM_PARENT, window, FRoot, static_cast<std::int16_t>(at.x()),
                      static_cast<std::int16_t>(at.y()), static_cast<std::uint16_t>(at.width()),
                      static_cast<std::uint16_t>(at.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_free_pixmap(FXcb, tile);
    xcb_map_window(FXcb, window);
    sync();
    return window;
}

void TestScreen::closeWindow(std::uint32_t window)
{
    xcb_destroy_window(FXcb, window);
    sync();
}

void TestScreen::setWallpaper(HSLUtils::TColor color)
{
    const std::uint32_t background = allocate(color).pixel;
    xcb_change_window_attributes(FXcb, FRoot, XCB_CW_BACK_PIXEL, &background);
    xcb_clear_area(FXcb, 0, FRoot, 0, 0, 0, 0);
    sync();
}

QRect TestScreen::placeOf(std::uint32_t window)
{
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(FXcb, xcb_get_geometry(FXcb, window), nullptr));
    const Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        FXcb, xcb_translate_coordinates(FXcb, window, FRoot, 0, 0), nullptr));
    if (!geometry || !origin)
        return {};
    return {origin->dst_x, origin->dst_y, geometry->width, geometry->height};
}

void TestScreen::movePointer(QPoint to)
{
    xcb_warp_pointer(FXcb, XCB_NONE, FRoot, 0, 0, 0, 0, static_cast<std::int16_t>(to.x()),
                     static_cast<std::int16_t>(to.y()));
    sync();
}

void TestScreen::click(QPoint at)
{
    movePointer(at);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        ADD_FAILURE() << "no X server at DISPLAY for the click";
        return;
    }
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
}

QImage TestScreen::grab(QRect area)
{
    const Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
        FXcb,
        xcb_get_image(FXcb, XCB_IMAGE_FORMAT_Z_PIXMAP, FRoot, static_cast<std::int16_t>(area.x()),
                      static_cast<std::int16_t>(area.y()), static_cast<std::uint16_t>(area.width()),
                      static_cast<std::uint16_t>(area.height()), ~0u),
        nullptr));
    const auto pixels = static_cast<std::size_t>(area.width() * area.height());
    if (!image || FDepth != 24 ||
        static_cast<std::size_t>(xcb_get_image_data_length(image.get())) != pixels * 4) {
        ADD_FAILURE() << "no 24-bit image of the screen";
        return {};
    }
    // 32-bit pixels 0x00RRGGBB in the host's byte order, as Xvfb gives them here.
    QImage grabbed(area.size(), QImage::Format_RGB32);
    const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x)
            grabbed.setPixel(x, y, 0xFF000000 | data[y * area.width() + x]);
    }
    return grabbed;
}

void TestScreen::sync()
{
    std::free(xcb_get_input_focus_reply(FXcb, xcb_get_input_focus(FXcb), nullptr));
}
