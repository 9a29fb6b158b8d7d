#pragma once
// The desktop as the screen cast shows it: one PipeWire video stream for each
// shared monitor, on the remote the portal opened. Implemented by the module
// huvella-screencast.so (PipeWireDesktop), which alone links libpipewire and
// is loaded at the first screen-cast pick: nothing of PipeWire loads at
// start-up.
#include "platform/DesktopPixels.h"

#include <QPoint>
#include <QSize>
#include <functional>
#include <vector>

class ScreenCastDesktop : public DesktopPixels {
public:
    // A shared monitor as the portal's Start answered it: the PipeWire node,
    // and where the portal says the monitor sits on the desktop. The desktop
    // reads only the node: each stream's own format and cursor metadata say
    // its size and where the pointer is on it.
    struct Stream {
        quint32 node = 0;
        QPoint position;
        QSize size;

        bool operator==(const Stream&) const = default;
    };

    struct Handlers {
        // Every stream runs: ticks may read from now on.
        std::function<void()> running;
        // A stream or the connection failed, or a source went away. Called
        // from the event loop; the desktop may be destroyed only after it
        // returns.
        std::function<void()> failed;
        // Images have come for a second, and no buffer told where the pointer
        // is (the streams carry no cursor metadata): ticks would never read
        // anything. Called once, from the event loop.
        std::function<void()> noPointer;
        // Every stream has run for a few seconds and none has sent an image
        // (KWin's virtual outputs repaint only when a window changes): ticks
        // would never read a color. Called once, from the event loop.
        std::function<void()> noImage;
    };

    // Connects to the remote on `fd` (taken over: closed by the desktop) and
    // opens one stream per entry of `streams`. False when the connection
    // cannot even be made; the handlers then never run.
    virtual bool open(int fd, const std::vector<Stream>& streams, Handlers handlers) = 0;

    // The last color pixelAt or blockAt read (a block's centre): what the
    // window's last sampling tick showed. Nullopt before the first.
    virtual std::optional<HSLUtils::TColor> lastColorRead() const = 0;
};

// The module's one entry point, looked up by name.
extern "C" {
using HuvellaNewScreenCastDesktop = ScreenCastDesktop* (*)();
}
#define HUVELLA_NEW_SCREENCAST_DESKTOP "huvellaNewScreenCastDesktop"
