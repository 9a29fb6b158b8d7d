#pragma once
// One shared monitor's PipeWire video stream. It asks for shared-memory frames
// in the formats of ScreenCastFormats.h, at most 20 a second, with the
// pointer's position in each buffer's cursor metadata, and keeps the newest
// image: the buffer itself, held back from the source until a newer image
// replaces it. Nothing is copied, nor mapped: a read takes the pixels it needs
// from the buffer's memory file, so that the program's memory does not grow by
// the size of every buffer of every monitor. A buffer without an image (the
// screen did not change) or a corrupted one only moves the pointer.
#include "HSLUtils/HSLUtils.h"
#include "platform/pipewire/ScreenCastFormats.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <optional>

#include <spa/utils/hook.h>

struct pw_buffer;
struct pw_core;
struct pw_stream;
struct spa_buffer;
struct spa_pod;

class PipeWireStream {
public:
    struct Events {
        std::function<void()> running; // the stream reached streaming
        std::function<void()> failed;  // an error, or the source went away
    };

    // `position`: the monitor's top left corner on the desktop.
    PipeWireStream(pw_core* core, quint32 node, QPoint position, Events events);
    ~PipeWireStream();
    PipeWireStream(const PipeWireStream&) = delete;
    PipeWireStream& operator=(const PipeWireStream&) = delete;

    bool isRunning() const { return FRunning; }

    // The monitor on the desktop: its position and the frames' size in pixels;
    // empty until the format is known.
    QRect rect() const;

    // Where the pointer's hotspot was last seen, in desktop pixels; nullopt
    // while it is on no pixel of this monitor (or not yet known).
    std::optional<QPoint> pointer() const;
    // Grows with every buffer that told where the pointer is, across all
    // streams: the highest is the newest news.
    quint64 pointerSerial() const { return FPointerSerial; }

    // The pixel at desktop point `at` in the newest image; nullopt outside the
    // monitor, before its first image, or when the memory cannot be read.
    std::optional<HSLUtils::TColor> pixelAt(QPoint at) const;
    // The `count` pixels of the newest image from desktop point `from` to the
    // right, all on the monitor, into `colors`; false when they cannot be read.
    bool rowAt(QPoint from, int count, HSLUtils::TColor* colors) const;

private:
    // Where a held image's pixels are: in this process's memory (a buffer
    // the stream maps itself), or else in a memory file, read where needed.
    struct Image {
        pw_buffer* buffer = nullptr;
        const std::uint8_t* pixels = nullptr; // the top left pixel, when in memory
        int fd = -1;                          // otherwise the memory file,
        std::int64_t offset = 0;              // with the top left pixel here
        int stride = 0;                       // bytes from one row to the next
    };

    void onStateChanged(int state);
    void onParamChanged(quint32 id, const spa_pod* param);
    void onRemoveBuffer(pw_buffer* buffer);
    void onProcess();
    void fail();
    void readPointer(const spa_buffer* buffer);
    std::optional<Image> imageOf(pw_buffer* buffer) const;
    void releaseImage();
    void askForBuffers();

    pw_stream* FStream = nullptr;
    spa_hook FListener{};
    QPoint FPosition;
    Events FEvents;
    bool FRunning = false;
    bool FFailed = false;

    std::optional<ScreenCastFormat> FFormat;
    QSize FSize;  // of the frames, from the format
    Image FImage; // buffer null: none yet

    std::optional<QPoint> FPointer; // in the frame's pixels
    quint64 FPointerSerial = 0;
};
