#pragma once
// The pointer position and the desktop pixels under and around it, for the color picker.
#include "HSLUtils/HSLUtils.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <array>
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

    // The square of desktop pixels around one point, all read at the same moment.
    struct Block {
        static constexpr int Radius = 7;
        static constexpr int Side = 2 * Radius + 1;
        // A cell with no pixel of any monitor: off the desktop, or not read.
        static constexpr HSLUtils::TColor Outside = Pixel::NoColor;

        QPoint centre;
        // The centre's pixel, exactly as pixelAt(centre) would have read it then.
        Pixel pixel;
        // The monitor that holds the centre, in desktop pixels; empty when not known.
        QRect monitor;
        // Packed colors row by row from the top left, Outside where there is no pixel.
        std::array<HSLUtils::TColor, Side * Side> cells;

        Block() { cells.fill(Outside); }
        // The cell `dx` columns right and `dy` rows below the centre (-Radius to Radius).
        HSLUtils::TColor& at(int dx, int dy) { return cells[index(dx, dy)]; }
        HSLUtils::TColor at(int dx, int dy) const { return cells[index(dx, dy)]; }

        bool operator==(const Block&) const = default;

    private:
        static std::size_t index(int dx, int dy)
        {
            return static_cast<std::size_t>((dy + Radius) * Side + dx + Radius);
        }
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

    // The block of pixels centred on `centre`, in one read. A desktop that can only read
    // single pixels gives the centre alone (centreAt).
    virtual Block blockAt(QPoint centre) { return centreAt(centre); }

    // The block with its centre alone read, every other cell Outside: all that a tick
    // needs where no loupe can be shown.
    Block centreAt(QPoint centre)
    {
        Block block;
        block.centre = centre;
        block.pixel = pixelAt(centre.x(), centre.y());
        block.at(0, 0) = block.pixel.color;
        return block;
    }

    // Shows `picture` on the desktop with its top left corner at `at`, one picture pixel
    // on each desktop pixel, above every window, taking no focus and letting every click
    // through: what the picker's loupe is drawn on. A picture whose contents are the ones
    // shown (the same QImage::cacheKey) is not drawn again. False when this desktop
    // cannot show it.
    virtual bool showOverlay(QPoint /*at*/, const QImage& /*picture*/) { return false; }
    // Whether this desktop has a way to show such a picture at all; where it has none
    // (a screen cast), nothing is drawn for it.
    virtual bool showsOverlays() const { return false; }
    virtual void hideOverlay() {}

    // Asks the desktop to keep what the overlay covers of `window`, a window of this
    // program's, so that the overlay moving on shows it again without asking the window
    // to repaint; `keep` false ends that. Nothing where the desktop cannot.
    virtual void keepUnderOverlay(quintptr /*window*/, bool /*keep*/) {}

protected:
    // The block around `centre` read one pixelAt a cell, on `monitor`: for a desktop
    // whose pixels are all at hand (a frozen copy), where one read costs nothing.
    Block readBlock(QPoint centre, QRect monitor)
    {
        Block block;
        block.centre = centre;
        block.pixel = pixelAt(centre.x(), centre.y());
        block.monitor = monitor;
        for (int dy = -Block::Radius; dy <= Block::Radius; ++dy)
            for (int dx = -Block::Radius; dx <= Block::Radius; ++dx)
                block.at(dx, dy) = pixelAt(centre.x() + dx, centre.y() + dy).color;
        return block;
    }
};
