#include "platform/FrameExtents.h"

#include "platform/x11/XcbReply.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <xcb/xcb.h>

namespace {

// A window manager answers within a millisecond or two; one that claims the
// request and never answers costs the window this much delay, once.
constexpr auto Patience = std::chrono::milliseconds(200);
constexpr auto PollInterval = std::chrono::microseconds(250);

enum Atom { SupportingWmCheck, Supported, RequestFrameExtents, FrameExtents, AtomCount };
constexpr std::array<const char*, AtomCount> AtomNames{"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED",
                                                       "_NET_REQUEST_FRAME_EXTENTS",
                                                       "_NET_FRAME_EXTENTS"};

XcbReply<xcb_get_property_reply_t> Property(xcb_connection_t* xcb, xcb_window_t window,
                                            xcb_atom_t name, xcb_atom_t type, uint32_t longs)
{
    return XcbReply<xcb_get_property_reply_t>(xcb_get_property_reply(
        xcb, xcb_get_property(xcb, 0, window, name, type, 0, longs), nullptr));
}

// The four cardinals of _NET_FRAME_EXTENTS, once the window manager has set them.
std::optional<QMargins> Extents(xcb_connection_t* xcb, xcb_window_t window, xcb_atom_t name)
{
    const auto reply = Property(xcb, window, name, XCB_ATOM_CARDINAL, 4);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    const auto* value = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return QMargins(int(value[0]), int(value[2]), int(value[1]), int(value[3]));
}

} // namespace

QMargins AnnouncedFrameExtents(QWidget& window)
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || !window.isWindow())
        return {};
    xcb_connection_t* xcb = x11->connection();
    const auto id = xcb_window_t(window.winId());

    // Everything asked at once: one round trip without a window manager.
    std::array<xcb_intern_atom_cookie_t, AtomCount> atomCookies{};
    for (int i = 0; i < AtomCount; ++i)
        atomCookies[i] = xcb_intern_atom(xcb, 1, uint16_t(std::strlen(AtomNames[i])), AtomNames[i]);
    const auto geometryCookie = xcb_get_geometry(xcb, id);
    std::array<xcb_atom_t, AtomCount> atoms{};
    for (int i = 0; i < AtomCount; ++i) {
        const XcbReply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(xcb, atomCookies[i], nullptr));
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(xcb, geometryCookie, nullptr));
    if (!geometry || std::find(atoms.begin(), atoms.end(), XCB_ATOM_NONE) != atoms.end())
        return {};
    const xcb_window_t root = geometry->root;

    // A window manager that follows the desktop conventions says so on the
    // root window, with the list of what it supports.
    const auto check = Property(xcb, root, atoms[SupportingWmCheck], XCB_ATOM_WINDOW, 1);
    if (!check || check->value_len == 0)
        return {};
    const auto supported = Property(xcb, root, atoms[Supported], XCB_ATOM_ATOM, 4096);
    if (!supported || supported->format != 32)
        return {};
    const auto* list = static_cast<const xcb_atom_t*>(xcb_get_property_value(supported.get()));
    const int count = xcb_get_property_value_length(supported.get()) / 4;
    if (std::find(list, list + count, atoms[RequestFrameExtents]) == list + count)
        return {};

    // Asks for the frame of the still unmapped window; the answer comes as
    // the window's _NET_FRAME_EXTENTS property.
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = id;
    request.type = atoms[RequestFrameExtents];
    xcb_send_event(xcb, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(xcb);

    const auto deadline = std::chrono::steady_clock::now() + Patience;
    do {
        if (const auto extents = Extents(xcb, id, atoms[FrameExtents])) {
            // The window manager counts device pixels.
            const qreal ratio = window.devicePixelRatioF();
            return QMargins(qRound(extents->left() / ratio), qRound(extents->top() / ratio),
                            qRound(extents->right() / ratio), qRound(extents->bottom() / ratio));
        }
        std::this_thread::sleep_for(PollInterval);
    } while (std::chrono::steady_clock::now() < deadline);
    return {};
}
