#include "platform/x11/X11DesktopPixels.h"

#include "platform/x11/X11Overlay.h"
#include "platform/X11PixelFormat.h"
#include "platform/x11/XcbReply.h"

#include <utility>
#include <xcb/xcb.h>
#include <xcb/xinerama.h>

// Plain XCB rather than Xlib: a failed request comes back as an error value with its
// reply, so a point the server refuses costs nothing but that reply, and a broken
// connection is a state to test, not Xlib's process-wide error handlers that print and
// exit.

namespace {

// Request coordinates are 16-bit: a point past 32767 lies outside every X screen, and
// sent as it is it would wrap round to a point inside.
bool addressable(QPoint point)
{
    return point.x() >= 0 && point.y() >= 0 && point.x() <= 32767 && point.y() <= 32767;
}

const xcb_screen_t* screenOf(const xcb_setup_t* setup, int number)
{
    for (auto it = xcb_setup_roots_iterator(setup); it.rem > 0; xcb_screen_next(&it), --number) {
        if (number == 0)
            return it.data;
    }
    return nullptr;
}

// The layout of the root window's pixels. Only TrueColor pixels carry their color in
// their bits; any other visual gives a format that reads nothing.
X11PixelFormat rootPixelFormat(const xcb_setup_t* setup, const xcb_screen_t* screen)
{
    int bitsPerPixel = 0;
    int scanlinePad = 32;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == screen->root_depth) {
            bitsPerPixel = it.data->bits_per_pixel;
            scanlinePad = it.data->scanline_pad;
        }
    }
    const bool msbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem > 0;
         xcb_depth_next(&depth)) {
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem > 0;
             xcb_visualtype_next(&visual)) {
            const xcb_visualtype_t& v = *visual.data;
            if (v.visual_id == screen->root_visual && v._class == XCB_VISUAL_CLASS_TRUE_COLOR)
                return X11PixelFormat(bitsPerPixel, msbFirst, v.red_mask, v.green_mask, v.blue_mask,
                                      scanlinePad);
        }
    }
    return X11PixelFormat(0, msbFirst, 0, 0, 0);
}

// The part of the desktop that a request can name: the root window, and no coordinate
// past the 16 bits of a request.
QRect requestable(QRect root)
{
    return root.intersected(QRect(0, 0, 32768, 32768));
}

} // namespace

const QRect* X11DesktopPixels::Layout::monitorAt(QPoint point) const
{
    for (const QRect& monitor : monitors) {
        if (monitor.contains(point))
            return &monitor;
    }
    return nullptr;
}

struct X11DesktopPixels::Connection {
    xcb_connection_t* xcb;
    const xcb_screen_t* screen; // lives as long as the connection
    X11PixelFormat format;
    bool xinerama;                       // the server tells the monitors' layout
    std::unique_ptr<X11Overlay> overlay; // made when first shown

    ~Connection()
    {
        overlay.reset(); // its window goes while the connection is still there
        xcb_disconnect(xcb);
    }

    static std::unique_ptr<Connection> open()
    {
        int screenNumber = 0;
        xcb_connection_t* xcb = xcb_connect(nullptr, &screenNumber);
        const xcb_screen_t* screen = xcb_connection_has_error(xcb) == 0
                                         ? screenOf(xcb_get_setup(xcb), screenNumber)
                                         : nullptr;
        if (screen == nullptr) {
            xcb_disconnect(xcb);
            return nullptr;
        }
        const xcb_query_extension_reply_t* xinerama = xcb_get_extension_data(xcb, &xcb_xinerama_id);
        return std::unique_ptr<Connection>(
            new Connection{xcb, screen, rootPixelFormat(xcb_get_setup(xcb), screen),
                           xinerama != nullptr && xinerama->present != 0, nullptr});
    }

    bool broken() const { return xcb_connection_has_error(xcb) != 0; }

    struct LayoutRequest {
        xcb_get_geometry_cookie_t root;
        std::optional<xcb_xinerama_query_screens_cookie_t> monitors;
    };

    LayoutRequest requestLayout() const
    {
        LayoutRequest request{xcb_get_geometry(xcb, screen->root), std::nullopt};
        if (xinerama)
            request.monitors = xcb_xinerama_query_screens(xcb);
        return request;
    }

    // Waits for the layout asked for with requestLayout; nullopt when the root's size
    // did not come.
    std::optional<Layout> receiveLayout(LayoutRequest request) const
    {
        const XcbReply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(xcb, request.root, nullptr));
        Layout layout;
        if (request.monitors) {
            const XcbReply<xcb_xinerama_query_screens_reply_t> screens(
                xcb_xinerama_query_screens_reply(xcb, *request.monitors, nullptr));
            if (screens) {
                const xcb_xinerama_screen_info_t* info =
                    xcb_xinerama_query_screens_screen_info(screens.get());
                for (int i = 0; i < xcb_xinerama_query_screens_screen_info_length(screens.get());
                     ++i)
                    layout.monitors.emplace_back(info[i].x_org, info[i].y_org, info[i].width,
                                                 info[i].height);
            }
        }
        if (!geometry)
            return std::nullopt;
        layout.root = QRect(0, 0, geometry->width, geometry->height);
        if (layout.monitors.empty())
            layout.monitors.push_back(layout.root);
        return layout;
    }

    // The part of `centre`'s block that lies on the root window, widened by `margin` on
    // every side, in one image request; nullopt when the centre itself is off the root.
    struct BlockRequest {
        QPoint centre;
        QRect area;
        xcb_get_image_cookie_t image;
        // Whether the image holds all of the block around `point` that lies on the root.
        bool holdsBlockAt(QPoint point, const Layout& layout) const
        {
            return area.contains(point) &&
                   area.contains(blockArea(point).intersected(requestable(layout.root)));
        }
    };

    static QRect blockArea(QPoint centre)
    {
        return {centre - QPoint(Block::Radius, Block::Radius), QSize(Block::Side, Block::Side)};
    }

    std::optional<BlockRequest> requestBlock(QPoint centre, const Layout& layout,
                                             int margin = 0) const
    {
        const QRect area = blockArea(centre)
                               .adjusted(-margin, -margin, margin, margin)
                               .intersected(requestable(layout.root));
        if (!area.contains(centre))
            return std::nullopt;
        return BlockRequest{centre, area,
                            xcb_get_image(xcb, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root,
                                          static_cast<std::int16_t>(area.x()),
                                          static_cast<std::int16_t>(area.y()),
                                          static_cast<std::uint16_t>(area.width()),
                                          static_cast<std::uint16_t>(area.height()), ~0u)};
    }

    // Waits for the image asked for with requestBlock, and takes from it the block around
    // `centre` (the request's own centre unless told), which the image must hold. The
    // centre reads as a one-pixel read of it would; the other cells are kept where they
    // lie on a monitor.
    Block receiveBlock(const BlockRequest& request, const Layout& layout,
                       std::optional<QPoint> around = std::nullopt) const
    {
        const QPoint centre = around.value_or(request.centre);
        Block block;
        block.centre = centre;
        if (const QRect* monitor = layout.monitorAt(centre))
            block.monitor = *monitor;
        xcb_generic_error_t* error = nullptr;
        const XcbReply<xcb_get_image_reply_t> image(
            xcb_get_image_reply(xcb, request.image, &error));
        const XcbReply<xcb_generic_error_t> refused(error);
        if (!image) {
            block.pixel = {refusal(refused.get())};
            return block;
        }
        const std::span<const std::uint8_t> data(
            xcb_get_image_data(image.get()),
            static_cast<std::size_t>(xcb_get_image_data_length(image.get())));
        const std::size_t bytesPerRow = format.bytesPerRow(request.area.width());
        const QRect cells = blockArea(centre).intersected(request.area);
        for (int y = cells.top(); y <= cells.bottom(); ++y) {
            for (int x = cells.left(); x <= cells.right(); ++x) {
                const std::size_t offset =
                    static_cast<std::size_t>(y - request.area.top()) * bytesPerRow +
                    static_cast<std::size_t>((x - request.area.left()) * format.bytesPerPixel());
                const auto color =
                    offset < data.size() ? format.decode(data.subspan(offset)) : std::nullopt;
                const QPoint point(x, y);
                if (point == centre)
                    block.pixel =
                        color ? Pixel{Pixel::Status::Color, *color} : Pixel{Pixel::Status::NoPixel};
                if (color && layout.monitorAt(point) != nullptr)
                    block.at(x - centre.x(), y - centre.y()) = *color;
            }
        }
        // The centre's own cell always shows the centre's pixel.
        block.at(0, 0) = block.pixel.color;
        return block;
    }

    // A point outside the root window is a BadMatch. A server that keeps the screen from
    // this client (an access-control extension) refuses every point alike.
    static Pixel::Status refusal(const xcb_generic_error_t* refused)
    {
        if (refused && refused->error_code == XCB_ACCESS)
            return Pixel::Status::NoAccess;
        return refused ? Pixel::Status::NoPixel : Pixel::Status::NoAccess;
    }

    xcb_get_image_cookie_t requestPixel(QPoint point) const
    {
        return xcb_get_image(xcb, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root,
                             static_cast<std::int16_t>(point.x()),
                             static_cast<std::int16_t>(point.y()), 1, 1, ~0u);
    }

    // Waits for the pixel asked for with requestPixel.
    Pixel receivePixel(xcb_get_image_cookie_t request) const
    {
        xcb_generic_error_t* error = nullptr;
        const XcbReply<xcb_get_image_reply_t> image(xcb_get_image_reply(xcb, request, &error));
        const XcbReply<xcb_generic_error_t> refused(error);
        if (image) {
            const auto color =
                format.decode({xcb_get_image_data(image.get()),
                               static_cast<std::size_t>(xcb_get_image_data_length(image.get()))});
            return color ? Pixel{Pixel::Status::Color, *color} : Pixel{Pixel::Status::NoPixel};
        }
        return {refusal(refused.get())};
    }
};

X11DesktopPixels::X11DesktopPixels(std::chrono::milliseconds retryAfter) : FRetryAfter(retryAfter)
{}

X11DesktopPixels::~X11DesktopPixels() = default;

X11DesktopPixels::Connection* X11DesktopPixels::connection()
{
    if (FConnection)
        return FConnection.get();
    const Clock::time_point now = Clock::now();
    if (now < FNextAttempt)
        return nullptr;
    FNextAttempt = now + FRetryAfter;
    FConnection = Connection::open();
    return FConnection.get();
}

void X11DesktopPixels::dropConnection()
{
    FConnection.reset();
    FLastPointer.reset();
    FRestingAt.reset();
    FUnderPointer.reset();
    FLayout.reset();
    FNextAttempt = Clock::now() + FRetryAfter;
}

std::optional<QPoint> X11DesktopPixels::cursorPos()
{
    FUnderPointer.reset();
    Connection* c = connection();
    if (c == nullptr)
        return std::nullopt;

    // A pointer at rest, as when the user has found the color, is likely still where it
    // rests, and a moving one near where it was: the pixels around that point go out with
    // the pointer read, and when they hold the block around the pointer, both cost one
    // round trip to the server instead of two. Around a moving pointer they reach
    // GuessMargin further, about the way a pointer moves between two ticks while aiming.
    constexpr int GuessMargin = 24;
    const xcb_query_pointer_cookie_t pointerRequest = xcb_query_pointer(c->xcb, c->screen->root);
    // The monitors' layout comes in the same round trip, once a second: monitors seldom
    // change, and a server that keeps them with RandR takes half as long again to answer
    // a tick that asks for them.
    constexpr auto layoutLifetime = std::chrono::seconds(1);
    const Clock::time_point now = Clock::now();
    std::optional<Connection::LayoutRequest> layoutRequest;
    if (!FLayout || now - FLayoutReadAt >= layoutLifetime) {
        layoutRequest = c->requestLayout();
        FLayoutReadAt = now;
    }
    const std::optional<QPoint> guess = FLastPointer;
    const std::optional<Layout> guessLayout = FLayout;
    std::optional<Connection::BlockRequest> guessRequest;
    if (guess && guessLayout)
        guessRequest = c->requestBlock(*guess, *guessLayout, FRestingAt ? 0 : GuessMargin);

    const XcbReply<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(c->xcb, pointerRequest, nullptr));
    // A pointer on another X screen of the same server has coordinates on that screen's
    // root, not on the one this reads from.
    const std::optional<QPoint> at = pointer && pointer->same_screen
                                         ? std::optional(QPoint(pointer->root_x, pointer->root_y))
                                         : std::nullopt;
    if (layoutRequest) {
        if (std::optional<Layout> layout = c->receiveLayout(*layoutRequest))
            FLayout = std::move(layout);
    }
    if (guessRequest) {
        // A layout that changed meanwhile makes the guess's cells doubtful.
        if (at && FLayout && FLayout->root == guessLayout->root &&
            FLayout->monitors == guessLayout->monitors && guessRequest->holdsBlockAt(*at, *FLayout))
            FUnderPointer = {c->receiveBlock(*guessRequest, *FLayout, at), Clock::now()};
        else
            xcb_discard_reply(c->xcb, guessRequest->image.sequence);
    }
    if (c->broken()) {
        dropConnection();
        return std::nullopt;
    }
    FRestingAt = at && at == FLastPointer ? at : std::nullopt;
    FLastPointer = at;
    return at;
}

std::optional<DesktopPixels::Block> X11DesktopPixels::takeBlockUnderPointer(QPoint centre)
{
    // A block read with the pointer serves the read that follows it at once, as one tick
    // of the picker makes them; any later read asks the screen afresh.
    constexpr auto fresh = std::chrono::milliseconds(1);
    const auto underPointer = std::exchange(FUnderPointer, std::nullopt);
    if (underPointer && underPointer->block.centre == centre &&
        Clock::now() - underPointer->readAt < fresh)
        return underPointer->block;
    return std::nullopt;
}

DesktopPixels::Pixel X11DesktopPixels::pixelAt(int x, int y)
{
    const QPoint point(x, y);
    if (const auto underPointer = takeBlockUnderPointer(point))
        return underPointer->pixel;

    Connection* c = connection();
    if (c == nullptr)
        return {Pixel::Status::NoAccess};
    if (!addressable(point))
        return {Pixel::Status::NoPixel};
    const Pixel pixel = c->receivePixel(c->requestPixel(point));
    if (c->broken())
        dropConnection();
    return pixel;
}

DesktopPixels::Block X11DesktopPixels::blockAt(QPoint centre)
{
    if (auto underPointer = takeBlockUnderPointer(centre))
        return *underPointer;

    Block block;
    block.centre = centre;
    Connection* c = connection();
    if (c == nullptr) {
        block.pixel = {Pixel::Status::NoAccess};
        return block;
    }
    if (!FLayout)
        FLayout = c->receiveLayout(c->requestLayout());
    if (FLayout) {
        if (const auto request = c->requestBlock(centre, *FLayout))
            block = c->receiveBlock(*request, *FLayout);
    } else
        block.pixel = {Pixel::Status::NoAccess};
    if (c->broken()) {
        dropConnection();
        block.pixel = {Pixel::Status::NoAccess};
        block.at(0, 0) = Block::Outside;
    }
    return block;
}

bool X11DesktopPixels::showOverlay(QPoint at, const QImage& picture)
{
    // Shown on the connection that reads: with none, there is nothing to aim at either.
    Connection* c = FConnection.get();
    if (c == nullptr)
        return false;
    if (!c->overlay) {
        c->overlay = std::make_unique<X11Overlay>(c->xcb, *c->screen, c->format);
        applyKeptWindow(true);
    }
    const bool shown = c->overlay->show(at, picture);
    if (c->broken()) {
        dropConnection();
        return false;
    }
    return shown;
}

void X11DesktopPixels::hideOverlay()
{
    if (FConnection && FConnection->overlay)
        FConnection->overlay->hide();
}

void X11DesktopPixels::keepUnderOverlay(quintptr window, bool keep)
{
    if (keep)
        FKeptWindow = window;
    else if (FKeptWindow != window)
        return;
    // Until the overlay is made there is nothing to keep the window from, and no
    // connection need be opened for it: it is applied when the overlay is made.
    if (FConnection && FConnection->overlay)
        applyKeptWindow(keep);
    if (!keep)
        FKeptWindow.reset();
}

// Without a backing store, each move of the overlay over the window made the server
// send the window an Expose for what the move uncovered, and the window repaint it.
void X11DesktopPixels::applyKeptWindow(bool keep)
{
    if (!FKeptWindow)
        return;
    const uint32_t backingStore =
        keep ? XCB_BACKING_STORE_WHEN_MAPPED : XCB_BACKING_STORE_NOT_USEFUL;
    xcb_change_window_attributes(FConnection->xcb, static_cast<xcb_window_t>(*FKeptWindow),
                                 XCB_CW_BACKING_STORE, &backingStore);
    xcb_flush(FConnection->xcb);
}
