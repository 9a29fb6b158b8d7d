#pragma once
// One output's picture as a wlroots compositor copied it (screencopy), held in
// the output's own buffer orientation, and where each pixel the output shows
// lies in it. The output shows its buffer turned and mirrored by its transform
// (wl_output.transform, 0 to 7); a frame flagged y_invert holds its rows
// bottom up. Pixels come in one of the wl_shm formats, and are reduced to 8
// bits a channel as the X11 reader reduces deep visuals.
#include "HSLUtils/HSLUtils.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QTransform>
#include <cstdint>
#include <optional>

class FrozenFrame {
public:
    // The wl_shm format codes the picker reads.
    enum Format : std::uint32_t {
        ARGB8888 = 0,
        XRGB8888 = 1,
        XBGR8888 = 0x34324258,    // 'XB24'
        ABGR8888 = 0x34324241,    // 'AB24'
        XRGB2101010 = 0x30335258, // 'XR30'
        XBGR2101010 = 0x30334258, // 'XB30'
    };

    // Whether pixels of wl_shm `format` can be read.
    static bool readable(std::uint32_t format);

    // The frame from the compositor's buffer: `size` pixels of `format`, `stride`
    // bytes a row, at `data`. Nullopt for a format that cannot be read or a buffer
    // too small for its size: no color is better than a wrong one.
    static std::optional<FrozenFrame> fromBuffer(std::uint32_t format, QSize size, int stride,
                                                 const std::uint8_t* data, std::size_t bytes,
                                                 bool yInvert, int transform);

    // The frame over the compositor's buffer itself, with no copy, where its pixels
    // need no conversion (XRGB8888 or ARGB8888, rows top down); nullopt elsewhere,
    // and fromBuffer then converts. `data` must outlive the frame.
    static std::optional<FrozenFrame> over(std::uint32_t format, QSize size, int stride,
                                           std::uint8_t* data, std::size_t bytes, bool yInvert,
                                           int transform);

    // What the output shows: the buffer turned by the transform, in its pixels.
    QSize shownSize() const;
    // The color of the pixel the output shows at `shown`; nullopt outside.
    std::optional<HSLUtils::TColor> colorAt(QPoint shown) const;

    // The buffer in the output's orientation, top row first, as XRGB8888 (the alpha
    // byte unused): what an overlay with the output's transform as its buffer
    // transform shows as the output showed it.
    const QImage& buffer() const { return FBuffer; }
    int transform() const { return FTransform; }
    // Maps points of the shown picture onto the buffer.
    const QTransform& shownToBuffer() const { return FShownToBuffer; }

    // The mapping for a buffer of `buffer` pixels shown with `transform`.
    static QTransform ShownToBuffer(QSize buffer, int transform);
    static QSize ShownSize(QSize buffer, int transform);

private:
    FrozenFrame(QImage buffer, int transform)
        : FBuffer(std::move(buffer)), FTransform(transform),
          FShownToBuffer(ShownToBuffer(FBuffer.size(), transform)),
          FShownSize(ShownSize(FBuffer.size(), transform))
    {}

    QImage FBuffer; // Format_RGB32
    int FTransform = 0;
    // Made once: the loupe reads 225 pixels at every step of the pointer.
    QTransform FShownToBuffer;
    QSize FShownSize;
};
