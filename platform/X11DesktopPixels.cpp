#include "platform/X11DesktopPixels.h"

#include "platform/X11PixelFormat.h"

#include <cstdlib>
#include <utility>
#include <xcb/xcb.h>

// Plain XCB rather than Xlib: a failed request comes back as an error value with its
// reply, so a point the server refuses costs nothing but that reply, and a broken
// connection is a state to test, not Xlib's process-wide error handlers that print and
// exit.

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply>;

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
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == screen->root_depth)
            bitsPerPixel = it.data->bits_per_pixel;
    }
    const bool msbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem > 0;
         xcb_depth_next(&depth)) {
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem > 0;
             xcb_visualtype_next(&visual)) {
            const xcb_visualtype_t& v = *visual.data;
            if (v.visual_id == screen->root_visual && v._class == XCB_VISUAL_CLASS_TRUE_COLOR)
                return X11PixelFormat(bitsPerPixel, msbFirst, v.red_mask, v.green_mask,
                                      v.blue_mask);
        }
    }
    return X11PixelFormat(0, msbFirst, 0, 0, 0);
}

} // namespace

struct X11DesktopPixels::Connection {
    xcb_connection_t* xcb;
    xcb_window_t root;
    X11PixelFormat format;

    ~Connection() { xcb_disconnect(xcb); }

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
        return std::unique_ptr<Connection>(
            new Connection{xcb, screen->root, rootPixelFormat(xcb_get_setup(xcb), screen)});
    }

    bool broken() const { return xcb_connection_has_error(xcb) != 0; }

    xcb_get_image_cookie_t requestPixel(QPoint point) const
    {
        return xcb_get_image(xcb, XCB_IMAGE_FORMAT_Z_PIXMAP, root,
                             static_cast<std::int16_t>(point.x()),
                             static_cast<std::int16_t>(point.y()), 1, 1, ~0u);
    }

    // Waits for the pixel asked for with requestPixel.
    Pixel receivePixel(xcb_get_image_cookie_t request) const
    {
        xcb_generic_error_t* error = nullptr;
        const Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(xcb, request, &error));
        const Reply<xcb_generic_error_t> refused(error);
        if (image) {
            const auto color =
                format.decode({xcb_get_image_data(image.get()),
                               static_cast<std::size_t>(xcb_get_image_data_length(image.get()))});
            return color ? Pixel{Pixel::Status::Color, *color} : Pixel{Pixel::Status::NoPixel};
        }
        // A point outside the root window is a BadMatch. A server that keeps the screen
        // from this client (an access-control extension) refuses every point alike.
        if (refused && refused->error_code == XCB_ACCESS)
            return {Pixel::Status::NoAccess};
        return {refused ? Pixel::Status::NoPixel : Pixel::Status::NoAccess};
    }
};

X11DesktopPixels::X11DesktopPixels(std::chrono::milliseconds retryAfter) : m_retryAfter(retryAfter)
{}

X11DesktopPixels::~X11DesktopPixels() = default;

X11DesktopPixels::Connection* X11DesktopPixels::connection()
{
    if (m_connection)
        return m_connection.get();
    const Clock::time_point now = Clock::now();
    if (now < m_nextAttempt)
        return nullptr;
    m_nextAttempt = now + m_retryAfter;
    m_connection = Connection::open();
    return m_connection.get();
}

void X11DesktopPixels::dropConnection()
{
    m_connection.reset();
    m_lastPointer.reset();
    m_restingAt.reset();
    m_underPointer.reset();
    m_nextAttempt = Clock::now() + m_retryAfter;
}

std::optional<QPoint> X11DesktopPixels::cursorPos()
{
    m_underPointer.reset();
    Connection* c = connection();
    if (c == nullptr)
        return std::nullopt;

    // A pointer at rest, as when the user has found the color, is likely still where it
    // rests: the pixel read for that point goes out with the pointer read, and both cost
    // one round trip to the server instead of two. A moving pointer is not guessed at, so
    // aiming costs no more than reading the pointer and then the pixel.
    const xcb_query_pointer_cookie_t pointerRequest = xcb_query_pointer(c->xcb, c->root);
    const std::optional<QPoint> guess = m_restingAt;
    std::optional<xcb_get_image_cookie_t> guessRequest;
    if (guess && addressable(*guess))
        guessRequest = c->requestPixel(*guess);

    const Reply<xcb_query_pointer_reply_t> pointer(
        xcb_query_pointer_reply(c->xcb, pointerRequest, nullptr));
    // A pointer on another X screen of the same server has coordinates on that screen's
    // root, not on the one this reads from.
    const std::optional<QPoint> at = pointer && pointer->same_screen
                                         ? std::optional(QPoint(pointer->root_x, pointer->root_y))
                                         : std::nullopt;
    if (guessRequest) {
        if (at == guess)
            m_underPointer = {*at, c->receivePixel(*guessRequest), Clock::now()};
        else
            xcb_discard_reply(c->xcb, guessRequest->sequence);
    }
    if (c->broken()) {
        dropConnection();
        return std::nullopt;
    }
    m_restingAt = at && at == m_lastPointer ? at : std::nullopt;
    m_lastPointer = at;
    return at;
}

DesktopPixels::Pixel X11DesktopPixels::pixelAt(int x, int y)
{
    const QPoint point(x, y);
    // A pixel read with the pointer serves the read that follows it at once, as one tick
    // of the picker makes them; any later read asks the screen afresh.
    constexpr auto fresh = std::chrono::milliseconds(1);
    if (const auto underPointer = std::exchange(m_underPointer, std::nullopt);
        underPointer && underPointer->point == point && Clock::now() - underPointer->readAt < fresh)
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
