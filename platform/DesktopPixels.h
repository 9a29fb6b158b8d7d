#pragma once
// The pointer position and the desktop pixel under it, for the color picker.
#include "HSLUtils/HSLUtils.h"

#include <QPoint>
#include <optional>

class DesktopPixels {
public:
    struct Pixel {
        enum class Status {
            Color,    // the pixel was read
            NoPixel,  // this point cannot be read: outside the desktop, or the read failed
            NoAccess, // the screen cannot be read at all (no X display, e.g. Wayland only)
        };
        // The value the desktop gives for a point it has no pixel for.
        static constexpr HSLUtils::TColor NoColor = -1; // 0xFFFFFFFF

        Status status = Status::NoPixel;
        // Packed 0x00BBGGRR when status is Color; NoColor otherwise.
        HSLUtils::TColor color = NoColor;

        bool operator==(const Pixel&) const = default;
    };

    virtual ~DesktopPixels() = default;

    // The pointer's position in desktop pixels: the physical pixels of the screen, the
    // coordinates pixelAt takes, whatever scale the interface is drawn at. Nullopt when it
    // cannot be read; the caller then has no point to read, and screenReadable says why.
    virtual std::optional<QPoint> cursorPos() = 0;

    // False when the last read found that the screen cannot be read at all (no X display,
    // e.g. Wayland only), rather than only the pointer or a pixel this time.
    virtual bool screenReadable() const = 0;

    // The color of the desktop pixel at (x, y), as it is on the screen: the wallpaper, other
    // programs' windows and this program's own window all count.
    virtual Pixel pixelAt(int x, int y) = 0;
};
