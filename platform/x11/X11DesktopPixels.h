#pragma once
// The pointer and the desktop pixels of an X11 desktop, read from the X server on a
// connection of their own: the root window of the screen, so that every window and the
// wallpaper count, in the server's physical pixels across all its monitors. For one
// thread at a time, like the window that owns it.
#include "platform/DesktopPixels.h"

#include <chrono>
#include <memory>
#include <vector>

class X11DesktopPixels final : public DesktopPixels {
public:
    // The connection to $DISPLAY opens at the first read. When it cannot be opened, or
    // breaks, reads answer NoAccess and the next attempt waits `retryAfter`, so that a
    // desktop without an X server costs one failed connect per interval, not one per read:
    // with no server at a local display a connect fails in 0.1 to 0.3 ms, but one to a
    // host that does not answer can hold the caller for seconds.
    explicit X11DesktopPixels(std::chrono::milliseconds retryAfter = std::chrono::seconds(1));
    ~X11DesktopPixels() override;
    X11DesktopPixels(const X11DesktopPixels&) = delete;
    X11DesktopPixels& operator=(const X11DesktopPixels&) = delete;

    std::optional<QPoint> cursorPos() override;
    bool screenReadable() const override { return FConnection != nullptr; }
    Pixel pixelAt(int x, int y) override;
    // One image request for the block's part of the root window; cells off every monitor
    // (by the layout read with the pointer) are Outside.
    Block blockAt(QPoint centre) override;
    // A window of the connection's own: moving it and changing its picture cost no
    // round trip to the server.
    bool showOverlay(QPoint at, const QImage& picture) override;
    bool showsOverlays() const override { return true; }
    void hideOverlay() override;
    // The server keeps the window's covered contents (its backing store) while asked.
    void keepUnderOverlay(quintptr window, bool keep) override;

private:
    struct Connection; // the X server's side, kept out of this header
    using Clock = std::chrono::steady_clock;

    // Where the screen's pixels are: the root window and the monitors on it, as read with
    // the latest pointer.
    struct Layout {
        QRect root;
        std::vector<QRect> monitors; // the whole root when the server names none
        const QRect* monitorAt(QPoint point) const;
    };
    // The block around the pointer, read in the same round trip as the pointer from the
    // pixels around where it was last. A pixelAt or blockAt for the pointer's point that
    // comes at once (within 1 ms) takes it instead of asking the server again: the pixels
    // are then as old as the pointer position, no older.
    struct BlockUnderPointer {
        Block block;
        Clock::time_point readAt;
    };
    std::optional<Block> takeBlockUnderPointer(QPoint centre);

    Connection* connection();
    void dropConnection();
    void applyKeptWindow(bool keep);

    std::chrono::milliseconds FRetryAfter;
    std::unique_ptr<Connection> FConnection;
    Clock::time_point FNextAttempt;
    std::optional<QPoint> FLastPointer;
    std::optional<QPoint> FRestingAt; // where the last two pointer reads both found it
    std::optional<BlockUnderPointer> FUnderPointer;
    std::optional<Layout> FLayout;
    std::optional<quintptr> FKeptWindow; // kept under the overlay, once it is made
    Clock::time_point FLayoutReadAt;
};
