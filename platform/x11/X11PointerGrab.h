#pragma once
// The pointer and the keyboard of an X11 desktop held by this program alone, for
// one pick: a crosshair over every window, the buttons and keys that aim and
// pick, and the pointer moved by whole physical pixels. On a connection of its
// own to $DISPLAY; the grab ends with the object.
#include <QPoint>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>

struct xcb_connection_t;

class X11PointerGrab {
public:
    // What the user did, in the root window's physical pixels.
    struct Input {
        enum class Kind {
            Moved,         // the pointer is now at `at`
            PickAt,        // a left click at `at`
            PickAtPointer, // Enter: the pixel under the pointer, wherever it is now
            Step,          // an arrow key: move the pointer by `step` (one pixel)
            Cancel,        // Esc or a right click
        };
        Kind kind;
        QPoint at;
        QPoint step;
    };

    // Grabs the pointer and the keyboard. Another program may hold either for a
    // moment (a hotkey daemon holds the keyboard until the hotkey's key is
    // released), so a refused grab is tried again for up to `patience`. Nullptr
    // with the reason in `failure` when there is no X display or a grab stays refused.
    static std::unique_ptr<X11PointerGrab> start(QString& failure,
                                                 std::chrono::milliseconds patience);
    ~X11PointerGrab();
    X11PointerGrab(const X11PointerGrab&) = delete;
    X11PointerGrab& operator=(const X11PointerGrab&) = delete;

    // The connection's socket: readable when input may be waiting.
    int socket() const;
    // The next input waiting, or nullopt when none is; events that mean
    // nothing to a pick are skipped.
    std::optional<Input> nextInput();
    // True once the X server has closed the connection.
    bool broken() const;
    // Moves the pointer by (dx, dy) physical pixels from wherever it is.
    void movePointerBy(QPoint step);

private:
    struct Keys; // the keyboard's codes of the keys a pick listens to
    X11PointerGrab(xcb_connection_t* xcb, std::uint32_t root);

    xcb_connection_t* FXcb;
    std::uint32_t FRoot;
    std::uint32_t FCursor = 0;
    std::unique_ptr<Keys> FKeys;
};
