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
        std::function<void()> image;   // the first whole image came
    };

    // The largest frame side taken.
    static constexpr int MaxSide = 16384;

    // `origin`: where the desktop puts the stream's top left pixel. The streams
    // themselves say nothing of where their monitors are, and the portal's
    // positions cannot be trusted for it (KDE gives none, GNOME's logical mode
    // gives logical ones): the desktop lays the streams out side by side.
    PipeWireStream(pw_core* core, quint32 node, QPoint origin, Events events);
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
    // Grows, across all streams, each time a stream's buffer tells of the
    // pointer somewhere else than its last one did (on another pixel, or off
    // this monitor): the highest is the newest news. A buffer that repeats
    // the old place is no news, so a stream that still shows the pointer
    // where it left never wins over the one it went to.
    quint64 pointerSerial() const { return FPointerSerial; }
    // Whether an image is held, to be read.
    bool hasImage() const { return FImage.buffer != nullptr; }
    // Whether any buffer so far carried cursor metadata at all.
    bool toldPointer() const { return FToldPointer; }

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
    bool FHadImage = false;

    std::optional<QPoint> FPointer; // in the frame's pixels
    quint64 FPointerSerial = 0;
    bool FToldPointer = false;
};
