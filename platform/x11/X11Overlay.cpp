#include "platform/x11/X11Overlay.h"

#include "platform/PackedColor.h"
#include "platform/x11/XcbReply.h"

#include <algorithm>
#include <vector>
#include <xcb/shape.h>

namespace {

// The largest request a server must take without the BIG-REQUESTS extension, in bytes.
constexpr std::size_t MaxRequestBytes = 65535 * 4;
constexpr std::size_t PutImageHeaderBytes = 24;

} // namespace

X11Overlay::X11Overlay(xcb_connection_t* xcb, const xcb_screen_t& screen, X11PixelFormat format)
    : FXcb(xcb), FRoot(screen.root), FDepth(screen.root_depth), FVisual(screen.root_visual),
      FFormat(format)
{}

X11Overlay::~X11Overlay()
{
    destroy();
    xcb_flush(FXcb);
}

bool X11Overlay::show(QPoint at, const QImage& picture)
{
    // Only errors of the requests sent here come to this connection unasked; none is
    // waited for, so each is dropped rather than left to pile up.
    while (XcbReply<xcb_generic_event_t> error{xcb_poll_for_queued_event(FXcb)}) {
    }
    if (picture.isNull() || !FFormat.readable())
        return false;
    if (FWindow == XCB_NONE || FSize != picture.size()) {
        destroy();
        create(picture.size());
    }
    if (picture.cacheKey() != FPictureKey) {
        if (!upload(picture))
            return false;
        FPictureKey = picture.cacheKey();
        if (FMapped) // repainted from its background, the new picture
            xcb_clear_area(FXcb, 0, FWindow, 0, 0, 0, 0);
    }
    if (!FMapped || at != FAt) {
        const std::uint32_t place[] = {static_cast<std::uint32_t>(at.x()),
                                       static_cast<std::uint32_t>(at.y()), XCB_STACK_MODE_ABOVE};
        xcb_configure_window(
            FXcb, FWindow, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_STACK_MODE,
            place);
        FAt = at;
    }
    if (!FMapped) {
        xcb_map_window(FXcb, FWindow);
        FMapped = true;
    }
    xcb_flush(FXcb);
    return true;
}

void X11Overlay::hide()
{
    if (!FMapped)
        return;
    xcb_unmap_window(FXcb, FWindow);
    xcb_flush(FXcb);
    FMapped = false;
}

void X11Overlay::create(QSize size)
{
    const auto width = static_cast<std::uint16_t>(size.width());
    const auto height = static_cast<std::uint16_t>(size.height());
    FPixmap = xcb_generate_id(FXcb);
    xcb_create_pixmap(FXcb, FDepth, FPixmap, FRoot, width, height);
    FGc = xcb_generate_id(FXcb);
    xcb_create_gc(FXcb, FGc, FPixmap, 0, nullptr);

    FWindow = xcb_generate_id(FXcb);
    // Left alone by the window manager: no frame, no focus, no taskbar entry. A server
    // that keeps what lies under it while it stands there spares those windows a repaint.
    const std::uint32_t attributes[] = {FPixmap, 1, 1};
    xcb_create_window(
        FXcb, FDepth, FWindow, FRoot, 0, 0, width, height, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
        FVisual, XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_SAVE_UNDER, attributes);
    // No input region: every click and every pointer move reaches the window below.
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(FXcb, &xcb_shape_id);
    if (shape != nullptr && shape->present != 0)
        xcb_shape_rectangles(FXcb, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED,
                             FWindow, 0, 0, 0, nullptr);
    // Named, for tools that list the desktop's windows.
    static constexpr char name[] = "Huvella loupe";
    static constexpr char windowClass[] = "huvella\0Huvella"; // with both terminating nulls
    xcb_change_property(FXcb, XCB_PROP_MODE_REPLACE, FWindow, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof name - 1, name);
    xcb_change_property(FXcb, XCB_PROP_MODE_REPLACE, FWindow, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof windowClass, windowClass);
    FSize = size;
    FPictureKey = 0;
    FMapped = false;
}

void X11Overlay::destroy()
{
    if (FWindow == XCB_NONE)
        return;
    xcb_destroy_window(FXcb, FWindow);
    xcb_free_pixmap(FXcb, FPixmap);
    xcb_free_gc(FXcb, FGc);
    FWindow = FPixmap = FGc = XCB_NONE;
    FMapped = false;
}

// Writes the picture into the window's background in the screen's own pixel layout, in
// bands of rows that each fit one request.
bool X11Overlay::upload(const QImage& picture)
{
    const QImage rgb =
        picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
            ? picture
            : picture.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    const auto bytesPerPixel = static_cast<std::size_t>(FFormat.bytesPerPixel());
    const std::size_t bytesPerRow = FFormat.bytesPerRow(width);
    const int rowsPerRequest =
        std::max<int>(1, static_cast<int>((MaxRequestBytes - PutImageHeaderBytes) / bytesPerRow));

    // The usual layout on a PC takes the picture's rows as they are.
    const bool asItIs =
        FFormat.sameAsQRgb() && rgb.bytesPerLine() == static_cast<qsizetype>(bytesPerRow);
    std::vector<std::uint8_t> band;
    for (int top = 0; top < rgb.height(); top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, rgb.height() - top);
        const std::size_t length = bytesPerRow * static_cast<std::size_t>(rows);
        const std::uint8_t* data = rgb.constScanLine(top);
        if (!asItIs) {
            band.assign(length, 0);
            for (int y = 0; y < rows; ++y) {
                const QRgb* from = reinterpret_cast<const QRgb*>(rgb.constScanLine(top + y));
                std::uint8_t* to = band.data() + bytesPerRow * static_cast<std::size_t>(y);
                for (int x = 0; x < width; ++x, to += bytesPerPixel) {
                    if (!FFormat.encode(FromQRgb(from[x]), {to, bytesPerPixel}))
                        return false;
                }
            }
            data = band.data();
        }
        xcb_put_image(FXcb, XCB_IMAGE_FORMAT_Z_PIXMAP, FPixmap, FGc,
                      static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(rows), 0,
                      static_cast<std::int16_t>(top), 0, FDepth, static_cast<std::uint32_t>(length),
                      data);
    }
    return true;
}
