#include "platform/wlroots/WaylandWait.h"

#include <cerrno>
#include <poll.h>
#include <wayland-client.h>

QString WaylandFailure(WaylandWait wait)
{
    if (wait == WaylandWait::TimedOut)
        return QStringLiteral("the Wayland compositor did not answer within %1 seconds")
            .arg(WaylandPatienceMs / 1000);
    return QStringLiteral("the Wayland compositor closed the connection");
}

WaylandWait DispatchUntil(wl_display* display, QDeadlineTimer deadline,
                          const std::function<bool()>& done)
{
    const int fd = wl_display_get_fd(display);
    while (!done()) {
        // A compositor that keeps talking but never sends what is awaited
        // runs out of time too.
        if (deadline.hasExpired())
            return WaylandWait::TimedOut;
        // Events read in already are handled first: the socket won't tell of them.
        if (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                return WaylandWait::Broken;
            continue;
        }
        // A compositor that reads nothing fills the socket: then wait for room too.
        short wanted = POLLIN;
        if (wl_display_flush(display) < 0) {
            if (errno != EAGAIN) {
                wl_display_cancel_read(display);
                return WaylandWait::Broken;
            }
            wanted |= POLLOUT;
        }
        pollfd ready{fd, wanted, 0};
        const qint64 left = deadline.remainingTime(); // -1: never
        const int polled = poll(&ready, 1, left < 0 ? -1 : static_cast<int>(left));
        if (polled <= 0 || (ready.revents & POLLIN) == 0) {
            wl_display_cancel_read(display);
            if (polled < 0 && errno != EINTR)
                return WaylandWait::Broken;
            if ((ready.revents & (POLLERR | POLLHUP)) != 0)
                return WaylandWait::Broken;
            if (polled == 0 || deadline.hasExpired())
                return WaylandWait::TimedOut;
            continue;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0)
            return WaylandWait::Broken;
    }
    return WaylandWait::Done;
}

namespace {

void Synced(void* data, wl_callback* callback, uint32_t)
{
    wl_callback_destroy(callback);
    *static_cast<wl_callback**>(data) = nullptr;
}
const wl_callback_listener SyncListener{Synced};

} // namespace

void AskRoundtrip(wl_display* display, wl_callback** pending)
{
    *pending = wl_display_sync(display);
    wl_callback_add_listener(*pending, &SyncListener, pending);
}

WaylandWait Roundtrip(wl_display* display, QDeadlineTimer deadline)
{
    wl_callback* pending = nullptr;
    AskRoundtrip(display, &pending);
    const WaylandWait wait =
        DispatchUntil(display, deadline, [&pending] { return pending == nullptr; });
    // Not answered: an answer that comes later finds no listener.
    if (pending != nullptr)
        wl_callback_destroy(pending);
    return wait;
}
