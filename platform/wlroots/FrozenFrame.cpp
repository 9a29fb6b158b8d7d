#include "platform/wlroots/FrozenFrame.h"

#include "platform/PackedColor.h"
#include "platform/X11PixelFormat.h"

#include <cmath>
#include <cstring>

namespace {

// The layout of a wl_shm format: 32 bits a pixel, least significant byte first.
std::optional<X11PixelFormat> LayoutOf(std::uint32_t format)
{
    switch (format) {
    case FrozenFrame::ARGB8888:
    case FrozenFrame::XRGB8888:
        return X11PixelFormat(32, false, 0x00FF0000, 0x0000FF00, 0x000000FF);
    case FrozenFrame::XBGR8888:
    case FrozenFrame::ABGR8888:
        return X11PixelFormat(32, false, 0x000000FF, 0x0000FF00, 0x00FF0000);
    case FrozenFrame::XRGB2101010:
        return X11PixelFormat(32, false, 0x3FF00000, 0x000FFC00, 0x000003FF);
    case FrozenFrame::XBGR2101010:
        return X11PixelFormat(32, false, 0x000003FF, 0x000FFC00, 0x3FF00000);
    default:
        return std::nullopt;
    }
}

bool QuarterTurned(int transform)
{
    return (transform & 1) != 0;
}

} // namespace

bool FrozenFrame::readable(std::uint32_t format)
{
    return LayoutOf(format).has_value();
}

std::optional<FrozenFrame> FrozenFrame::fromBuffer(std::uint32_t format, QSize size, int stride,
                                                   const std::uint8_t* data, std::size_t bytes,
                                                   bool yInvert, int transform)
{
    const std::optional<X11PixelFormat> layout = LayoutOf(format);
    if (!layout || size.isEmpty() || transform < 0 || transform > 7 || stride < size.width() * 4 ||
        bytes < static_cast<std::size_t>(stride) * static_cast<std::size_t>(size.height()))
        return std::nullopt;
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt;
    const bool asQRgb = layout->sameAsQRgb();
    for (int y = 0; y < size.height(); ++y) {
        const std::uint8_t* row =
            data + static_cast<std::size_t>(stride) *
                       static_cast<std::size_t>(yInvert ? size.height() - 1 - y : y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (asQRgb) {
            std::memcpy(out, row, static_cast<std::size_t>(size.width()) * 4);
            for (int x = 0; x < size.width(); ++x)
                out[x] |= 0xFF000000; // the alpha byte of ARGB8888 is not the color's
            continue;
        }
        for (int x = 0; x < size.width(); ++x)
            out[x] = ToQRgb(*layout->decode({row + 4 * x, 4}));
    }
    return FrozenFrame(std::move(image), transform);
}

std::optional<FrozenFrame> FrozenFrame::over(std::uint32_t format, QSize size, int stride,
                                             std::uint8_t* data, std::size_t bytes, bool yInvert,
                                             int transform)
{
    if ((format != XRGB8888 && format != ARGB8888) || yInvert || size.isEmpty() || transform < 0 ||
        transform > 7 || stride < size.width() * 4 ||
        bytes < static_cast<std::size_t>(stride) * static_cast<std::size_t>(size.height()))
        return std::nullopt;
    return FrozenFrame(QImage(data, size.width(), size.height(), stride, QImage::Format_RGB32),
                       transform);
}

QSize FrozenFrame::ShownSize(QSize buffer, int transform)
{
    return QuarterTurned(transform) ? buffer.transposed() : buffer;
}

QSize FrozenFrame::shownSize() const
{
    return FShownSize;
}

// wl_output.transform: the output shows its buffer turned clockwise by a
// quarter turn for each of 90, 180 and 270 (the transform names the turn that
// undoes the panel's); the flipped ones then mirror it left to right. From the
// shown picture back to the buffer: undo the mirror, then the turn.
QTransform FrozenFrame::ShownToBuffer(QSize buffer, int transform)
{
    const QSize shown = ShownSize(buffer, transform);
    const qreal w = shown.width();
    const qreal h = shown.height();
    QTransform unturn;
    switch (transform & 3) {
    case 0:
        break;
    case 1: // shown (x, y) came from the buffer's (y, w - x)
        unturn = QTransform(0, -1, 1, 0, 0, w);
        break;
    case 2:
        unturn = QTransform(-1, 0, 0, -1, w, h);
        break;
    case 3: // shown (x, y) came from the buffer's (h - y, x)
        unturn = QTransform(0, 1, -1, 0, h, 0);
        break;
    }
    QTransform mirror;
    if (transform & 4)
        mirror = QTransform(-1, 0, 0, 1, w, 0);
    return mirror * unturn;
}

std::optional<HSLUtils::TColor> FrozenFrame::colorAt(QPoint shown) const
{
    if (!QRect(QPoint(), FShownSize).contains(shown))
        return std::nullopt;
    QPoint at = shown;
    if (FTransform != 0) {
        const QPointF centre = FShownToBuffer.map(QPointF(shown) + QPointF(0.5, 0.5));
        at = QPoint(static_cast<int>(std::floor(centre.x())),
                    static_cast<int>(std::floor(centre.y())));
        if (!FBuffer.rect().contains(at))
            return std::nullopt;
    }
    return FromQRgb(reinterpret_cast<const QRgb*>(FBuffer.constScanLine(at.y()))[at.x()]);
}
