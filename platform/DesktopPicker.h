#pragma once
// One way of taking a color from the desktop, as the window's picker button
// drives it. There are five, one class each: live sampling of the X11 screen,
// the desktop portal's one-shot picker, the frozen frame of a wlroots desktop,
// screen casting through the portal, and the frozen frame of the portal's
// screenshot. The button starts and stops every one
// of them the same way; they differ only in what they give back:
// - a live way hands out the desktop it samples (`live()`): from `started` on,
//   each 50 ms tick of the window reads the pointer and the pixels under it
//   there, so that every field follows the pointer;
// - a one-shot way samples nothing: its `ended` brings the color.
// Any way may end a pick of its own accord: the user picked or cancelled on the
// desktop's side (the frozen frame, the portal's picker, the share dialog), or
// the desktop stopped it.
#include "HSLUtils/HSLUtils.h"

#include <functional>

class DesktopPixels;
class QWindow;

class DesktopPicker {
public:
    struct Ending {
        enum class Kind {
            Picked,    // the user chose a pixel on the desktop's side: `color` is it
            Cancelled, // the user gave up there: the window shows again what it showed before
            Failed,    // the desktop refused or stopped: the window says so once
        };
        Kind kind = Kind::Failed;
        HSLUtils::TColor color = 0; // packed 0x00BBGGRR when kind is Picked

        bool operator==(const Ending&) const = default;
    };

    struct Handlers {
        // A live way samples from now on: ticks may read live(). Not called by a
        // one-shot way.
        std::function<void()> started;
        // The pick is over without the window asking. Runs once, from the event
        // loop, never from inside start() or stop().
        std::function<void(const Ending&)> ended;
        // A live way that ends by itself: the point aimed at moved. What has no
        // window ticking (a command's pick) follows it from here.
        std::function<void()> moved = nullptr; // may be left out where nothing follows it
    };

    virtual ~DesktopPicker() = default;

    // Begins a pick over `window` (may be null). Either handler may come later,
    // from the event loop: a desktop may first ask the user (a share dialog).
    virtual void start(const QWindow* window, Handlers handlers) = 0;

    // The user stopped the pick from the window (Enter, or the button clicked
    // again): the color the window shows stays. No `ended` follows.
    virtual void stop() = 0;

    virtual bool isRunning() const = 0;

    // The desktop a live way samples between `started` and the end of the pick;
    // null for a one-shot way and outside a pick.
    virtual DesktopPixels* live() = 0;
};
