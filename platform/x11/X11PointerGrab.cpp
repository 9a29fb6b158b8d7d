#include "platform/x11/X11PointerGrab.h"

#include "platform/x11/XcbReply.h"

#include <thread>
#include <vector>
#include <xcb/xcb.h>

namespace {

// Keysyms (X11/keysymdef.h) and the cursor font's crosshair (X11/cursorfont.h).
constexpr std::uint32_t XK_Return = 0xff0d;
constexpr std::uint32_t XK_KP_Enter = 0xff8d;
constexpr std::uint32_t XK_Escape = 0xff1b;
constexpr std::uint32_t XK_Left = 0xff51;
constexpr std::uint32_t XK_Up = 0xff52;
constexpr std::uint32_t XK_Right = 0xff53;
constexpr std::uint32_t XK_Down = 0xff54;
constexpr std::uint16_t XC_crosshair = 34;

constexpr std::uint8_t LeftButton = 1;
constexpr std::uint8_t RightButton = 3;

enum class GrabResult { Granted, Held, Failed };

template <class Request> GrabResult tryGrab(Request request, std::chrono::milliseconds patience)
{
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    for (;;) {
        const std::optional<std::uint8_t> status = request();
        if (!status)
            return GrabResult::Failed;
        if (*status == XCB_GRAB_STATUS_SUCCESS)
            return GrabResult::Granted;
        const bool held =
            *status == XCB_GRAB_STATUS_ALREADY_GRABBED || *status == XCB_GRAB_STATUS_FROZEN;
        if (!held || std::chrono::steady_clock::now() >= giveUp)
            return held ? GrabResult::Held : GrabResult::Failed;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

struct X11PointerGrab::Keys {
    std::vector<std::uint32_t> symbols; // the first keysym of each key code
    std::uint8_t firstCode = 0;

    std::uint32_t symbolOf(std::uint8_t code) const
    {
        const std::size_t index = std::size_t(code) - firstCode;
        return code >= firstCode && index < symbols.size() ? symbols[index] : 0;
    }
};

X11PointerGrab::X11PointerGrab(xcb_connection_t* xcb, std::uint32_t root)
    : FXcb(xcb), FRoot(root), FKeys(std::make_unique<Keys>())
{}

std::unique_ptr<X11PointerGrab> X11PointerGrab::start(QString& failure,
                                                      std::chrono::milliseconds patience)
{
    int screenNumber = 0;
    xcb_connection_t* xcb = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(xcb) != 0) {
        xcb_disconnect(xcb);
        failure = QStringLiteral("cannot open the X display");
        return nullptr;
    }
    const xcb_setup_t* setup = xcb_get_setup(xcb);
    auto screen = xcb_setup_roots_iterator(setup);
    for (; screenNumber > 0 && screen.rem > 0; --screenNumber)
        xcb_screen_next(&screen);
    std::unique_ptr<X11PointerGrab> grab(new X11PointerGrab(xcb, screen.data->root));

    // The key codes of the keys a pick listens to, from the keyboard's first keysyms.
    const int codes = setup->max_keycode - setup->min_keycode + 1;
    const XcbReply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        xcb, xcb_get_keyboard_mapping(xcb, setup->min_keycode, std::uint8_t(codes)), nullptr));
    if (mapping && mapping->keysyms_per_keycode > 0) {
        const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(mapping.get());
        grab->FKeys->firstCode = setup->min_keycode;
        for (int code = 0; code < codes; ++code)
            grab->FKeys->symbols.push_back(symbols[code * mapping->keysyms_per_keycode]);
    }

    const xcb_font_t font = xcb_generate_id(xcb);
    xcb_open_font(xcb, font, 6, "cursor");
    grab->FCursor = xcb_generate_id(xcb);
    xcb_create_glyph_cursor(xcb, grab->FCursor, font, font, XC_crosshair, XC_crosshair + 1, 0, 0, 0,
                            0xFFFF, 0xFFFF, 0xFFFF);
    xcb_close_font(xcb, font);

    const std::uint32_t root = grab->FRoot;
    const std::uint32_t cursor = grab->FCursor;
    const GrabResult pointer = tryGrab(
        [&]() -> std::optional<std::uint8_t> {
            const XcbReply<xcb_grab_pointer_reply_t> reply(xcb_grab_pointer_reply(
                xcb,
                xcb_grab_pointer(
                    xcb, 0, root, XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_POINTER_MOTION,
                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, cursor, XCB_CURRENT_TIME),
                nullptr));
            return reply ? std::optional(reply->status) : std::nullopt;
        },
        patience);
    if (pointer != GrabResult::Granted) {
        failure = pointer == GrabResult::Held
                      ? QStringLiteral("cannot grab the pointer: another program holds it")
                      : QStringLiteral("cannot grab the pointer");
        return nullptr;
    }
    const GrabResult keyboard = tryGrab(
        [&]() -> std::optional<std::uint8_t> {
            const XcbReply<xcb_grab_keyboard_reply_t> reply(
                xcb_grab_keyboard_reply(xcb,
                                        xcb_grab_keyboard(xcb, 0, root, XCB_CURRENT_TIME,
                                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                        nullptr));
            return reply ? std::optional(reply->status) : std::nullopt;
        },
        patience);
    if (keyboard != GrabResult::Granted) {
        failure = keyboard == GrabResult::Held
                      ? QStringLiteral("cannot grab the keyboard: another program holds it")
                      : QStringLiteral("cannot grab the keyboard");
        return nullptr;
    }
    return grab;
}

X11PointerGrab::~X11PointerGrab()
{
    xcb_ungrab_keyboard(FXcb, XCB_CURRENT_TIME);
    xcb_ungrab_pointer(FXcb, XCB_CURRENT_TIME);
    if (FCursor != 0)
        xcb_free_cursor(FXcb, FCursor);
    xcb_flush(FXcb);
    xcb_disconnect(FXcb);
}

int X11PointerGrab::socket() const
{
    return xcb_get_file_descriptor(FXcb);
}

bool X11PointerGrab::broken() const
{
    return xcb_connection_has_error(FXcb) != 0;
}

std::optional<X11PointerGrab::Input> X11PointerGrab::nextInput()
{
    while (const XcbReply<xcb_generic_event_t> event{xcb_poll_for_event(FXcb)}) {
        switch (event->response_type & 0x7F) {
        case XCB_MOTION_NOTIFY: {
            const auto* motion = reinterpret_cast<const xcb_motion_notify_event_t*>(event.get());
            return Input{Input::Kind::Moved, QPoint(motion->root_x, motion->root_y), {}};
        }
        case XCB_BUTTON_PRESS: {
            const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event.get());
            if (press->detail == LeftButton)
                return Input{Input::Kind::PickAt, QPoint(press->root_x, press->root_y), {}};
            if (press->detail == RightButton)
                return Input{Input::Kind::Cancel, {}, {}};
            break;
        }
        case XCB_KEY_PRESS: {
            const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event.get());
            switch (FKeys->symbolOf(press->detail)) {
            case XK_Return:
            case XK_KP_Enter:
                return Input{Input::Kind::PickAtPointer, {}, {}};
            case XK_Escape:
                return Input{Input::Kind::Cancel, {}, {}};
            case XK_Left:
                return Input{Input::Kind::Step, {}, QPoint(-1, 0)};
            case XK_Right:
                return Input{Input::Kind::Step, {}, QPoint(1, 0)};
            case XK_Up:
                return Input{Input::Kind::Step, {}, QPoint(0, -1)};
            case XK_Down:
                return Input{Input::Kind::Step, {}, QPoint(0, 1)};
            default:
                break;
            }
            break;
        }
        default:
            break;
        }
    }
    return std::nullopt;
}

void X11PointerGrab::movePointerBy(QPoint step)
{
    // Relative to where the pointer is: no source window, destination none.
    xcb_warp_pointer(FXcb, XCB_NONE, XCB_NONE, 0, 0, 0, 0, std::int16_t(step.x()),
                     std::int16_t(step.y()));
    xcb_flush(FXcb);
}
