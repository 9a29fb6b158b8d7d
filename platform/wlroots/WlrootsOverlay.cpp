#include "platform/wlroots/WlrootsOverlay.h"

#include "platform/ScreenshotLayout.h"
#include "platform/wlroots/FrozenFrame.h"
#include "platform/wlroots/WaylandWait.h"
#include "viewporter-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <QGuiApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace {

const char* const CanvasRefused = "Canvas does not allow drawing.";

// The largest side of an output's buffer the picker copies.
constexpr uint32_t MaxSide = 32768;

// Copies `part` of an RGB32 `image` as it stands into `to`, rows of
// part.width() pixels one after another.
void CopyRows(std::uint8_t* to, const QImage& image, QRect part)
{
    const auto row = static_cast<std::size_t>(part.width()) * 4;
    for (int y = 0; y < part.height(); ++y)
        std::memcpy(to + static_cast<std::size_t>(y) * row,
                    image.constScanLine(part.top() + y) + static_cast<std::size_t>(part.left()) * 4,
                    row);
}

} // namespace

// A wl_shm buffer in memory of our own.
struct OverlayShmBuffer {
    wl_buffer* buffer = nullptr;
    // The same memory as XRGB8888, where `buffer` is ARGB8888 or XRGB8888: the
    // copy shown as it came, its alpha byte unused.
    wl_buffer* opaque = nullptr;
    std::uint8_t* data = nullptr;
    std::size_t size = 0;

    // The largest pool wl_shm takes: its size is an int32.
    static constexpr std::size_t MaxSize = INT32_MAX;

    bool make(wl_shm* shm, std::uint32_t format, QSize pixels, int stride)
    {
        size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(pixels.height());
        if (size > MaxSize)
            return false;
        const int fd = memfd_create("huvella-frame", MFD_CLOEXEC);
        if (fd < 0)
            return false;
        bool made = false;
        if (ftruncate(fd, static_cast<off_t>(size)) == 0) {
            void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (mapped != MAP_FAILED) {
                data = static_cast<std::uint8_t*>(mapped);
                wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(size));
                buffer = wl_shm_pool_create_buffer(pool, 0, pixels.width(), pixels.height(), stride,
                                                   format);
                if (format == FrozenFrame::XRGB8888 || format == FrozenFrame::ARGB8888)
                    opaque = wl_shm_pool_create_buffer(pool, 0, pixels.width(), pixels.height(),
                                                       stride, FrozenFrame::XRGB8888);
                wl_shm_pool_destroy(pool);
                made = true;
            }
        }
        close(fd);
        return made;
    }

    ~OverlayShmBuffer()
    {
        if (opaque != nullptr)
            wl_buffer_destroy(opaque);
        if (buffer != nullptr)
            wl_buffer_destroy(buffer);
        if (data != nullptr)
            munmap(data, size);
    }
};

// A picture of the loupe's, drawn again for each step of the pointer: a few
// are kept and drawn into again once the compositor has let go of them, so
// that a step makes no new shared memory (a file, its pages, a pool).
struct LoupeBuffer {
    OverlayShmBuffer shm;
    QSize size;
    bool held = false; // by the compositor, until it releases it
};

void LoupeReleased(void* data, wl_buffer*)
{
    static_cast<LoupeBuffer*>(data)->held = false;
}
const wl_buffer_listener LoupeReleaseListener{LoupeReleased};

struct OverlayOutput {
    WlrootsOverlay::Connection* connection = nullptr;
    wl_output* output = nullptr;
    int32_t transform = 0;
    int32_t scale = 1;
    // Where it lies in the desktop's layout, in logical pixels (xdg_output, else
    // wl_output's position and its mode over its scale): its part of a picture.
    zxdg_output_v1* xdgOutput = nullptr;
    QPoint position;
    QSize mode;
    QRect logicalRect;

    // The copy.
    zwlr_screencopy_frame_v1* capture = nullptr;
    std::uint32_t format = 0;
    QSize bufferSize;
    int stride = 0;
    bool yInvert = false;
    bool copied = false;
    bool failed = false;
    QString refusal; // why the copy failed, where it is not the compositor's doing
    std::unique_ptr<OverlayShmBuffer> captured;
    std::optional<FrozenFrame> frame;

    // The overlay.
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    xdg_surface* shellSurface = nullptr; // the toplevel's, over a picture
    xdg_toplevel* toplevel = nullptr;
    QSize toplevelSize; // as the last toplevel configure asked
    wp_viewport* viewport = nullptr;
    QSize logical;
    bool configured = false;
    std::unique_ptr<OverlayShmBuffer> converted; // the copy as XRGB8888, where it had to be
    wl_buffer* shown = nullptr;                  // the copy, as the overlay shows it

    // The loupe: a surface of its own above the overlay.
    wl_surface* loupeSurface = nullptr;
    wl_subsurface* loupeSubsurface = nullptr;
    wp_viewport* loupeViewport = nullptr;
    std::vector<std::unique_ptr<LoupeBuffer>> loupeBuffers;
    QRect loupe;   // where it stands, in shown pixels; empty when hidden
    QPoint origin; // where its shown pixels start on the desktop
    bool placed = false;

    QRect desktopRect() const { return {origin, frame && placed ? frame->shownSize() : QSize()}; }

    OverlayOutput() = default;
    OverlayOutput(const OverlayOutput&) = delete;
    OverlayOutput& operator=(const OverlayOutput&) = delete;

    ~OverlayOutput()
    {
        if (loupeViewport != nullptr)
            wp_viewport_destroy(loupeViewport);
        if (loupeSubsurface != nullptr)
            wl_subsurface_destroy(loupeSubsurface);
        if (loupeSurface != nullptr)
            wl_surface_destroy(loupeSurface);
        loupeBuffers.clear();
        if (viewport != nullptr)
            wp_viewport_destroy(viewport);
        if (layer != nullptr)
            zwlr_layer_surface_v1_destroy(layer);
        if (toplevel != nullptr)
            xdg_toplevel_destroy(toplevel);
        if (shellSurface != nullptr)
            xdg_surface_destroy(shellSurface);
        if (surface != nullptr)
            wl_surface_destroy(surface);
        if (capture != nullptr)
            zwlr_screencopy_frame_v1_destroy(capture);
        if (xdgOutput != nullptr)
            zxdg_output_v1_destroy(xdgOutput);
        if (output != nullptr)
            wl_output_destroy(output);
    }
};

struct WlrootsOverlay::Connection {
    WlrootsOverlay* owner = nullptr;
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_subcompositor* subcompositor = nullptr;
    wl_shm* shm = nullptr;
    wl_seat* seat = nullptr;
    wl_pointer* pointer = nullptr;
    wl_keyboard* keyboard = nullptr;
    zwlr_screencopy_manager_v1* screencopy = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    wp_viewporter* viewporter = nullptr;
    std::vector<std::unique_ptr<OverlayOutput>> outputs;
    // Over a picture the desktop took: fullscreen toplevels instead of copies
    // under layer surfaces.
    bool overPicture = false;
    QImage picture; // until it is cut into the outputs' frames, then let go
    bool cut = false;
    xdg_wm_base* shell = nullptr;
    zxdg_output_manager_v1* outputManager = nullptr;

    xkb_context* xkb = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* keys = nullptr;

    OverlayOutput* pointerOn = nullptr; // the output whose overlay has the pointer
    std::optional<QPoint> aim;          // on the desktop
    bool over = false;                  // picked or cancelled: input no longer counts
    // The start's own copies were asked for: an output announced from now on is
    // copied at once; and they were covered: a copy that ends from now on is
    // covered at once, so that an output added during a pick is frozen too.
    bool copying = false;
    bool covering = false;
    // The overlays are up: input counts from now on. Before, the compositor
    // closing an overlay or a late copy failing fails the start (`refused`).
    bool up = false;
    bool refused = false;
    wl_callback* sync = nullptr; // the roundtrip the start waits on, until answered

    ~Connection()
    {
        if (sync != nullptr)
            wl_callback_destroy(sync);
        outputs.clear();
        if (keys != nullptr)
            xkb_state_unref(keys);
        if (keymap != nullptr)
            xkb_keymap_unref(keymap);
        if (xkb != nullptr)
            xkb_context_unref(xkb);
        releasePointer();
        releaseKeyboard();
        if (seat != nullptr)
            wl_seat_destroy(seat);
        if (viewporter != nullptr)
            wp_viewporter_destroy(viewporter);
        if (outputManager != nullptr)
            zxdg_output_manager_v1_destroy(outputManager);
        if (shell != nullptr)
            xdg_wm_base_destroy(shell);
        if (shm != nullptr)
            wl_shm_destroy(shm);
        if (subcompositor != nullptr)
            wl_subcompositor_destroy(subcompositor);
        if (compositor != nullptr)
            wl_compositor_destroy(compositor);
        // The screencopy manager and the layer shell have no request to part
        // with them that the picker's protocol lists: the disconnection ends them.
        if (screencopy != nullptr)
            wl_proxy_destroy(reinterpret_cast<wl_proxy*>(screencopy));
        if (layerShell != nullptr)
            wl_proxy_destroy(reinterpret_cast<wl_proxy*>(layerShell));
        if (registry != nullptr)
            wl_registry_destroy(registry);
        if (display != nullptr)
            wl_display_disconnect(display);
    }

    void releasePointer()
    {
        if (pointer == nullptr)
            return;
        if (wl_pointer_get_version(pointer) >= WL_POINTER_RELEASE_SINCE_VERSION)
            wl_pointer_release(pointer);
        else
            wl_pointer_destroy(pointer);
        pointer = nullptr;
        pointerOn = nullptr;
    }

    void releaseKeyboard()
    {
        stopRepeat();
        if (keyboard == nullptr)
            return;
        if (wl_keyboard_get_version(keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION)
            wl_keyboard_release(keyboard);
        else
            wl_keyboard_destroy(keyboard);
        keyboard = nullptr;
    }

    OverlayOutput* outputAt(QPoint at) const
    {
        for (const auto& output : outputs)
            if (output->desktopRect().contains(at))
                return output.get();
        return nullptr;
    }

    // The pointer at surface point (x, y) of `output`'s overlay.
    void pointerAt(OverlayOutput* output, wl_fixed_t x, wl_fixed_t y)
    {
        pointerOn = output;
        if (output == nullptr || !output->frame || output->logical.isEmpty())
            return;
        const QSize shown = output->frame->shownSize();
        // Positions come in steps of 1/256 of a logical pixel: at 1.5 the pointer
        // on physical pixel 647 comes as 431.332 (646.998). Up to one such step
        // short still counts as the next pixel.
        const auto physical = [](wl_fixed_t at, int logical, int pixels) {
            const double ratio = double(pixels) / logical;
            const double scaled = wl_fixed_to_double(at) * ratio + ratio / 256;
            return std::clamp(static_cast<int>(std::floor(scaled)), 0, pixels - 1);
        };
        aim = output->origin + QPoint(physical(x, output->logical.width(), shown.width()),
                                      physical(y, output->logical.height(), shown.height()));
        if (owner->moved)
            owner->moved();
    }

    void step(QPoint by)
    {
        if (!aim)
            return;
        const OverlayOutput* output = outputAt(*aim);
        if (output == nullptr)
            return;
        const QRect rect = output->desktopRect();
        aim = QPoint(std::clamp(aim->x() + by.x(), rect.left(), rect.right()),
                     std::clamp(aim->y() + by.y(), rect.top(), rect.bottom()));
        if (owner->moved)
            owner->moved();
    }

    // An arrow key held down moves the point again at the seat's rate, after its
    // delay (both from repeat_info; a rate of 0 repeats nothing). A timer shows
    // the steps as they come; at the release, the steps still owed for the time
    // the key was held are made, so that a program that could not run meanwhile
    // still moves as far as the key was held. The time is the events' own, or,
    // where a virtual keyboard stamps them all 0, when the program read them.
    int32_t repeatRate = 0;  // steps a second
    int32_t repeatDelay = 0; // ms
    uint32_t heldKey = 0;    // the arrow key repeating, 0 for none
    QPoint heldStep;
    uint32_t heldSince = 0; // the press's time, ms
    QElapsedTimer heldFor;  // since the press was read
    int64_t repeated = 0;   // steps made since the press
    std::unique_ptr<QTimer> repeat;

    void hold(uint32_t key, QPoint by, uint32_t time)
    {
        stopRepeat();
        step(by);
        if (repeatRate <= 0 || over)
            return;
        if (!repeat) {
            repeat = std::make_unique<QTimer>();
            QObject::connect(repeat.get(), &QTimer::timeout, [this] {
                repeat->setInterval(std::max(1, 1000 / repeatRate));
                ++repeated;
                step(heldStep);
            });
        }
        heldKey = key;
        heldStep = by;
        heldSince = time;
        heldFor.start();
        repeated = 0;
        repeat->start(std::max(0, repeatDelay));
    }

    // The held key released at `time`.
    void release(uint32_t time)
    {
        const int64_t held = time == 0 && heldSince == 0
                                 ? heldFor.elapsed()
                                 : static_cast<uint32_t>(time - heldSince); // the clock may wrap
        const int64_t delay = std::max(0, repeatDelay);
        // No more than an output's breadth: a step beyond it stays at the edge.
        const int64_t owed =
            heldKey == 0 || repeatRate <= 0 || held < delay
                ? 0
                : std::min<int64_t>(MaxSide, 1 + (held - delay) * repeatRate / 1000);
        const QPoint by = heldStep;
        const int64_t made = repeated;
        stopRepeat();
        if (owed > made && !over)
            step(by * static_cast<int>(owed - made)); // in one: the point stops at the edge
    }

    void stopRepeat()
    {
        heldKey = 0;
        if (repeat)
            repeat->stop();
    }

    void end(Outcome outcome)
    {
        stopRepeat();
        if (!up) {
            refused = refused || outcome != Outcome::Picked;
            return;
        }
        if (over)
            return;
        over = true;
        // From the event loop, never from inside the handler that reads the events.
        QTimer::singleShot(0, owner, [owner = owner, outcome] { owner->finish(outcome); });
    }

    void pick()
    {
        if (aim)
            end(Outcome::Picked);
    }

    // The pixels of the output per logical pixel of its overlay, across and down.
    static QPointF ratio(const OverlayOutput& output)
    {
        const QSize shown = output.frame->shownSize();
        return {double(shown.width()) / output.logical.width(),
                double(shown.height()) / output.logical.height()};
    }

    // A loupe picture of `size` that the compositor does not hold, made when
    // none is (the size changed, or every one is still shown).
    LoupeBuffer* freeLoupeBuffer(OverlayOutput& output, QSize size)
    {
        auto& buffers = output.loupeBuffers;
        buffers.erase(std::remove_if(buffers.begin(), buffers.end(),
                                     [size](const auto& b) { return !b->held && b->size != size; }),
                      buffers.end());
        for (const auto& buffer : buffers)
            if (!buffer->held && buffer->size == size)
                return buffer.get();
        // A compositor that keeps every one is drawn over, not given more memory.
        if (buffers.size() >= 4)
            for (const auto& buffer : buffers)
                if (buffer->size == size)
                    return buffer.get();
        auto made = std::make_unique<LoupeBuffer>();
        if (!made->shm.make(shm, FrozenFrame::XRGB8888, size, size.width() * 4))
            return nullptr;
        made->size = size;
        wl_buffer_add_listener(made->shm.opaque, &LoupeReleaseListener, made.get());
        buffers.push_back(std::move(made));
        return buffers.back().get();
    }

    // Shows `picture` with its top left at the shown pixel `at` of `output`.
    bool placeLoupe(OverlayOutput& output, QPoint at, const QImage& picture, bool redraw)
    {
        if (subcompositor == nullptr || output.logical.isEmpty())
            return false;
        if (output.loupeSurface == nullptr) {
            output.loupeSurface = wl_compositor_create_surface(compositor);
            output.loupeSubsurface =
                wl_subcompositor_get_subsurface(subcompositor, output.loupeSurface, output.surface);
            wl_surface_set_buffer_transform(output.loupeSurface, output.frame->transform());
            // The pointer passes through it to the overlay, which reads it.
            wl_region* nothing = wl_compositor_create_region(compositor);
            wl_surface_set_input_region(output.loupeSurface, nothing);
            wl_region_destroy(nothing);
            if (viewporter != nullptr)
                output.loupeViewport = wp_viewporter_get_viewport(viewporter, output.loupeSurface);
            else
                wl_surface_set_buffer_scale(output.loupeSurface, output.scale);
            redraw = true;
        }
        const QPointF scale = ratio(output);
        if (redraw || output.loupe.size() != picture.size()) {
            // The picture turned into the output's buffer orientation: the
            // compositor turns it back as it does the output's own pixels.
            const QSize size = FrozenFrame::ShownSize(picture.size(), output.frame->transform());
            LoupeBuffer* buffer = freeLoupeBuffer(output, size);
            if (buffer == nullptr)
                return false;
            buffer->held = true;
            if (output.frame->transform() == 0 && picture.format() == QImage::Format_RGB32) {
                // As it stands: a painter's set-up costs more than the copy.
                CopyRows(buffer->shm.data, picture, picture.rect());
            } else {
                QImage image(buffer->shm.data, size.width(), size.height(), size.width() * 4,
                             QImage::Format_RGB32);
                QPainter painter(&image);
                painter.setTransform(FrozenFrame::ShownToBuffer(size, output.frame->transform()));
                painter.drawImage(0, 0, picture);
                painter.end();
            }
            wl_surface_attach(output.loupeSurface, buffer->shm.opaque, 0, 0);
            wl_surface_damage_buffer(output.loupeSurface, 0, 0, size.width(), size.height());
            if (output.loupeViewport != nullptr)
                wp_viewport_set_destination(output.loupeViewport,
                                            std::max(1, qRound(picture.width() / scale.x())),
                                            std::max(1, qRound(picture.height() / scale.y())));
        }
        wl_subsurface_set_position(output.loupeSubsurface, qRound(at.x() / scale.x()),
                                   qRound(at.y() / scale.y()));
        wl_surface_commit(output.loupeSurface);
        wl_surface_commit(output.surface); // the position is the overlay's to apply
        output.loupe = QRect(at, picture.size());
        return true;
    }

    void hideLoupe(OverlayOutput& output)
    {
        if (output.loupe.isEmpty())
            return;
        wl_surface_attach(output.loupeSurface, nullptr, 0, 0);
        wl_surface_commit(output.loupeSurface);
        wl_surface_commit(output.surface);
        output.loupe = {};
    }
};

namespace {

using Connection = WlrootsOverlay::Connection;

// OverlayOutput events: its transform and scale, and for a picture where it lies.
void OutputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                    const char*, const char*, int32_t transform)
{
    auto& output = *static_cast<OverlayOutput*>(data);
    output.transform = transform;
    output.position = QPoint(x, y);
}
void OutputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    if ((flags & WL_OUTPUT_MODE_CURRENT) != 0)
        static_cast<OverlayOutput*>(data)->mode = QSize(width, height);
}
void OutputDone(void*, wl_output*) {}
void OutputScale(void* data, wl_output*, int32_t factor)
{
    static_cast<OverlayOutput*>(data)->scale = factor;
}
const wl_output_listener OutputListener{OutputGeometry, OutputMode, OutputDone, OutputScale,
                                        nullptr,        nullptr}; // name, description: version 4

void LogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y)
{
    auto& output = *static_cast<OverlayOutput*>(data);
    output.logicalRect.moveTopLeft(QPoint(x, y));
}
void LogicalSize(void* data, zxdg_output_v1*, int32_t width, int32_t height)
{
    auto& output = *static_cast<OverlayOutput*>(data);
    output.logicalRect.setSize(QSize(width, height));
}
void LogicalDone(void*, zxdg_output_v1*) {}
void LogicalName(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener LogicalListener{LogicalPosition, LogicalSize, LogicalDone,
                                              LogicalName, LogicalName};

// Where `output` lies in the desktop's logical layout: as xdg_output says, else
// (no xdg_output) its position and its mode over its scale.
QRect LayoutRect(const OverlayOutput& output)
{
    if (output.xdgOutput != nullptr)
        return output.logicalRect;
    const int scale = std::max(1, output.scale);
    const QSize mode =
        (output.transform % 2) != 0 ? output.mode.transposed() : output.mode; // turned a quarter
    return {output.position, mode / scale};
}

void WatchLayout(Connection& c, OverlayOutput& output)
{
    if (c.outputManager == nullptr || output.xdgOutput != nullptr)
        return;
    output.xdgOutput = zxdg_output_manager_v1_get_xdg_output(c.outputManager, output.output);
    zxdg_output_v1_add_listener(output.xdgOutput, &LogicalListener, &output);
}

// Each output's frame is its part of the picture, at its place in the picture:
// the desktop's pixels are the picture's. Each part is copied once, into the
// shared memory its overlay shows, and read there. False when an output has no
// part.
bool CutPicture(Connection& c)
{
    QList<QRect> layout;
    for (const auto& output : c.outputs)
        layout.append(LayoutRect(*output));
    const QList<QRect> parts = PictureParts(layout, c.picture.size());
    if (parts.size() != static_cast<qsizetype>(c.outputs.size()))
        return false;
    const QImage picture = c.picture.convertToFormat(QImage::Format_RGB32);
    for (std::size_t i = 0; i < c.outputs.size(); ++i) {
        OverlayOutput& output = *c.outputs[i];
        const QRect part = parts[static_cast<qsizetype>(i)];
        if (part.isEmpty() || !picture.rect().contains(part))
            return false;
        const int stride = part.width() * 4;
        output.captured = std::make_unique<OverlayShmBuffer>();
        if (!output.captured->make(c.shm, FrozenFrame::XRGB8888, part.size(), stride))
            return false;
        CopyRows(output.captured->data, picture, part);
        output.frame = FrozenFrame::over(FrozenFrame::XRGB8888, part.size(), stride,
                                         output.captured->data, output.captured->size, false, 0);
        if (!output.frame)
            return false;
        output.copied = true;
        output.origin = part.topLeft();
        output.placed = true;
    }
    return true;
}

void CopyEnded(OverlayOutput& output);
void CopyFailed(OverlayOutput& output)
{
    output.failed = true;
    CopyEnded(output);
}

// The copy of one output.
void FrameBuffer(void* data, zwlr_screencopy_frame_v1* frame, uint32_t format, uint32_t width,
                 uint32_t height, uint32_t stride)
{
    auto& output = *static_cast<OverlayOutput*>(data);
    output.format = format;
    output.bufferSize = QSize(static_cast<int>(width), static_cast<int>(height));
    output.stride = static_cast<int>(stride);
    // A format that cannot be read is refused before anything is copied, and so is
    // a size no output has.
    if (!FrozenFrame::readable(format) || output.bufferSize.isEmpty() || width > MaxSide ||
        height > MaxSide || stride < width * 4 || stride > MaxSide * 8 || output.captured) {
        CopyFailed(output);
        return;
    }
    // Larger than one pool can be: the compositor's size is sound, the program
    // cannot hold it.
    if (static_cast<std::uint64_t>(stride) * height > OverlayShmBuffer::MaxSize) {
        output.refusal = QStringLiteral("an output's copy of %1 x %2 pixels is too large")
                             .arg(width)
                             .arg(height);
        CopyFailed(output);
        return;
    }
    output.captured = std::make_unique<OverlayShmBuffer>();
    if (!output.captured->make(output.connection->shm, format, output.bufferSize, output.stride)) {
        CopyFailed(output);
        return;
    }
    zwlr_screencopy_frame_v1_copy(frame, output.captured->buffer);
}
void FrameFlags(void* data, zwlr_screencopy_frame_v1*, uint32_t flags)
{
    static_cast<OverlayOutput*>(data)->yInvert =
        (flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
}
void FrameReady(void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t)
{
    auto& output = *static_cast<OverlayOutput*>(data);
    if (!output.captured) { // ready with nothing copied
        CopyFailed(output);
        return;
    }
    // Shown as it came where it can be, converted where it must.
    output.frame =
        FrozenFrame::over(output.format, output.bufferSize, output.stride, output.captured->data,
                          output.captured->size, output.yInvert, output.transform);
    if (!output.frame) {
        output.frame = FrozenFrame::fromBuffer(output.format, output.bufferSize, output.stride,
                                               output.captured->data, output.captured->size,
                                               output.yInvert, output.transform);
        output.captured.reset();
    }
    output.copied = output.frame.has_value();
    output.failed = !output.copied;
    CopyEnded(output);
}
void FrameFailed(void* data, zwlr_screencopy_frame_v1*)
{
    CopyFailed(*static_cast<OverlayOutput*>(data));
}
const zwlr_screencopy_frame_v1_listener FrameListener{FrameBuffer, FrameFlags, FrameReady,
                                                      FrameFailed};

// The overlay's size is the compositor's to say: its first answer shows the frame.
void Configured(OverlayOutput& output, uint32_t width, uint32_t height)
{
    output.logical = QSize(static_cast<int>(std::min(width, MaxSide)),
                           static_cast<int>(std::min(height, MaxSide)));
    if (output.viewport != nullptr && !output.logical.isEmpty())
        wp_viewport_set_destination(output.viewport, output.logical.width(),
                                    output.logical.height());
    if (!output.configured) {
        output.configured = true;
        wl_surface_attach(output.surface, output.shown, 0, 0);
        wl_surface_damage_buffer(output.surface, 0, 0, INT32_MAX, INT32_MAX);
    }
    wl_surface_commit(output.surface);
    // Every overlay shows from these commits on: the input that came in the same
    // read as the last configure (the keyboard's focus, keys typed at once on a
    // busy machine) is the user's, and counts.
    Connection& c = *output.connection;
    if (c.covering && std::all_of(c.outputs.begin(), c.outputs.end(), [](const auto& other) {
            return other->surface == nullptr || other->configured;
        }))
        c.up = true;
}

void LayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                    uint32_t height)
{
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    Configured(*static_cast<OverlayOutput*>(data), width, height);
}
// The compositor took an overlay away: the pick ends; before the overlays are
// all up, the start fails.
void LayerClosed(void* data, zwlr_layer_surface_v1*)
{
    auto& output = *static_cast<OverlayOutput*>(data);
    output.connection->end(output.connection->up ? WlrootsOverlay::Outcome::Cancelled
                                                 : WlrootsOverlay::Outcome::Failed);
}
const zwlr_layer_surface_v1_listener LayerListener{LayerConfigure, LayerClosed};

// A toplevel's size may come as 0 x 0, the client's to choose: its output's.
void ToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*)
{
    static_cast<OverlayOutput*>(data)->toplevelSize = QSize(width, height);
}
void ToplevelClose(void* data, xdg_toplevel*)
{
    LayerClosed(data, nullptr);
}
void ToplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
const xdg_toplevel_listener ToplevelListener{ToplevelConfigure, ToplevelClose, ToplevelBounds,
                                             nullptr}; // wm_capabilities: version 5
void ShellSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial)
{
    auto& output = *static_cast<OverlayOutput*>(data);
    xdg_surface_ack_configure(surface, serial);
    QSize size = output.toplevelSize;
    if (size.width() <= 0 || size.height() <= 0)
        size = LayoutRect(output).size();
    Configured(output, static_cast<uint32_t>(std::max(0, size.width())),
               static_cast<uint32_t>(std::max(0, size.height())));
}
const xdg_surface_listener ShellSurfaceListener{ShellSurfaceConfigure};

void ShellPing(void*, xdg_wm_base* shell, uint32_t serial)
{
    xdg_wm_base_pong(shell, serial);
}
const xdg_wm_base_listener ShellListener{ShellPing};

// The toplevel that shows a picture's part: fullscreen on its own output.
void MakeToplevel(Connection& c, OverlayOutput& output)
{
    output.shellSurface = xdg_wm_base_get_xdg_surface(c.shell, output.surface);
    xdg_surface_add_listener(output.shellSurface, &ShellSurfaceListener, &output);
    output.toplevel = xdg_surface_get_toplevel(output.shellSurface);
    xdg_toplevel_add_listener(output.toplevel, &ToplevelListener, &output);
    xdg_toplevel_set_title(output.toplevel, "Huvella: pick a color");
    const QByteArray id = QGuiApplication::desktopFileName().toUtf8();
    if (!id.isEmpty())
        xdg_toplevel_set_app_id(output.toplevel, id.constData());
    xdg_toplevel_set_fullscreen(output.toplevel, output.output);
}

void StartCopy(OverlayOutput& output)
{
    output.capture =
        zwlr_screencopy_manager_v1_capture_output(output.connection->screencopy, 0, output.output);
    zwlr_screencopy_frame_v1_add_listener(output.capture, &FrameListener, &output);
}

// The copy's place on the desktop: right of every output placed before it, so
// that an output added during a pick moves none of the others.
void PlaceRightmost(Connection& c, OverlayOutput& output)
{
    int left = 0;
    for (const auto& other : c.outputs)
        if (other->placed)
            left = std::max(left, other->desktopRect().right() + 1);
    output.origin = QPoint(left, 0);
    output.placed = true;
}

// The overlay of one copied output, showing its copy as the output showed it:
// the buffer in the output's own orientation, its transform as the buffer's.
bool Cover(OverlayOutput& output)
{
    Connection& c = *output.connection;
    if (output.capture != nullptr) {
        zwlr_screencopy_frame_v1_destroy(output.capture);
        output.capture = nullptr;
    }

    if (output.captured) {
        output.shown = output.captured->opaque;
    } else {
        const QImage& frame = output.frame->buffer();
        output.converted = std::make_unique<OverlayShmBuffer>();
        if (!output.converted->make(c.shm, FrozenFrame::XRGB8888, frame.size(),
                                    static_cast<int>(frame.bytesPerLine()))) {
            return false;
        }
        std::memcpy(output.converted->data, frame.constBits(), output.converted->size);
        output.shown = output.converted->opaque;
    }
    output.surface = wl_compositor_create_surface(c.compositor);
    wl_surface_set_buffer_transform(output.surface, output.frame->transform());
    if (c.viewporter != nullptr)
        output.viewport = wp_viewporter_get_viewport(c.viewporter, output.surface);
    else
        wl_surface_set_buffer_scale(output.surface, output.scale);
    if (c.overPicture) {
        MakeToplevel(c, output);
        wl_surface_commit(output.surface);
        return true;
    }
    output.layer =
        zwlr_layer_shell_v1_get_layer_surface(c.layerShell, output.surface, output.output,
                                              ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "huvella-picker");
    zwlr_layer_surface_v1_add_listener(output.layer, &LayerListener, &output);
    zwlr_layer_surface_v1_set_anchor(
        output.layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                          ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(output.layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(output.layer, 1);
    wl_surface_commit(output.surface);
    return true;
}

void CopyEnded(OverlayOutput& output)
{
    Connection& c = *output.connection;
    if (!c.covering)
        return; // the start waits for its own copies
    if (output.failed) {
        c.end(WlrootsOverlay::Outcome::Failed);
        return;
    }
    PlaceRightmost(c, output);
    if (!Cover(output))
        c.end(WlrootsOverlay::Outcome::Failed);
}

OverlayOutput* OutputOf(Connection& c, wl_surface* surface)
{
    for (const auto& output : c.outputs)
        if (output->surface == surface)
            return output.get();
    return nullptr;
}

void PointerEnter(void* data, wl_pointer*, uint32_t, wl_surface* surface, wl_fixed_t x,
                  wl_fixed_t y)
{
    auto& c = *static_cast<Connection*>(data);
    c.pointerAt(OutputOf(c, surface), x, y);
}
void PointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*)
{
    static_cast<Connection*>(data)->pointerOn = nullptr;
}
void PointerMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    auto& c = *static_cast<Connection*>(data);
    if (c.pointerOn != nullptr)
        c.pointerAt(c.pointerOn, x, y);
}
void PointerButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state)
{
    auto& c = *static_cast<Connection*>(data);
    if (state != WL_POINTER_BUTTON_STATE_PRESSED)
        return;
    if (button == BTN_LEFT)
        c.pick();
    else if (button == BTN_RIGHT)
        c.end(WlrootsOverlay::Outcome::Cancelled);
}
void PointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void PointerFrame(void*, wl_pointer*) {}
void PointerAxisSource(void*, wl_pointer*, uint32_t) {}
void PointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void PointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
// The seat is bound at version 5 at most: the events of later versions never come.
const wl_pointer_listener PointerListener{
    PointerEnter, PointerLeave,      PointerMotion,   PointerButton,       PointerAxis,
    PointerFrame, PointerAxisSource, PointerAxisStop, PointerAxisDiscrete, nullptr};

void KeyboardKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size)
{
    auto& c = *static_cast<Connection*>(data);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            xkb_keymap* keymap =
                xkb_keymap_new_from_buffer(c.xkb, static_cast<const char*>(text),
                                           strnlen(static_cast<const char*>(text), size),
                                           XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
            munmap(text, size);
            if (keymap != nullptr) {
                if (c.keys != nullptr)
                    xkb_state_unref(c.keys);
                if (c.keymap != nullptr)
                    xkb_keymap_unref(c.keymap);
                c.keymap = keymap;
                c.keys = xkb_state_new(keymap);
            }
        }
    }
    close(fd);
}
void KeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void KeyboardLeave(void* data, wl_keyboard*, uint32_t, wl_surface*)
{
    static_cast<Connection*>(data)->stopRepeat();
}
void KeyboardKey(void* data, wl_keyboard*, uint32_t, uint32_t time, uint32_t key, uint32_t state)
{
    auto& c = *static_cast<Connection*>(data);
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED) {
        if (key == c.heldKey)
            c.release(time);
        return;
    }
    if (c.keys == nullptr)
        return;
    // Key codes are the evdev ones; the keymap's are 8 higher.
    switch (xkb_state_key_get_one_sym(c.keys, key + 8)) {
    case XKB_KEY_Return:
    case XKB_KEY_KP_Enter:
        c.pick();
        break;
    case XKB_KEY_Escape:
        c.end(WlrootsOverlay::Outcome::Cancelled);
        break;
    case XKB_KEY_Left:
        c.hold(key, {-1, 0}, time);
        break;
    case XKB_KEY_Right:
        c.hold(key, {1, 0}, time);
        break;
    case XKB_KEY_Up:
        c.hold(key, {0, -1}, time);
        break;
    case XKB_KEY_Down:
        c.hold(key, {0, 1}, time);
        break;
    default:
        break;
    }
}
void KeyboardModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                       uint32_t locked, uint32_t group)
{
    auto& c = *static_cast<Connection*>(data);
    if (c.keys != nullptr)
        xkb_state_update_mask(c.keys, depressed, latched, locked, 0, 0, group);
}
void KeyboardRepeatInfo(void* data, wl_keyboard*, int32_t rate, int32_t delay)
{
    auto& c = *static_cast<Connection*>(data);
    c.repeatRate = rate;
    c.repeatDelay = delay;
}
const wl_keyboard_listener KeyboardListener{KeyboardKeymap, KeyboardEnter,     KeyboardLeave,
                                            KeyboardKey,    KeyboardModifiers, KeyboardRepeatInfo};

// Devices come and go during a pick (a mouse replaced, a keyboard reconnecting,
// each run of a virtual keyboard tool): a pointer or keyboard whose capability
// went is released, since the compositor sends it nothing more, and a new one
// is taken when the capability comes back.
void SeatCapabilities(void* data, wl_seat* seat, uint32_t capabilities)
{
    auto& c = *static_cast<Connection*>(data);
    const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (pointer && c.pointer == nullptr) {
        c.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(c.pointer, &PointerListener, &c);
    } else if (!pointer && c.pointer != nullptr) {
        c.releasePointer();
    }
    const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (keyboard && c.keyboard == nullptr) {
        c.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(c.keyboard, &KeyboardListener, &c);
    } else if (!keyboard && c.keyboard != nullptr) {
        c.releaseKeyboard();
    }
}
void SeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener SeatListener{SeatCapabilities, SeatName};

void Announced(void* data, wl_registry* registry, uint32_t name, const char* interface,
               uint32_t version)
{
    auto& c = *static_cast<Connection*>(data);
    const auto bind = [&](const wl_interface* kind, uint32_t highest) {
        return wl_registry_bind(registry, name, kind, std::min(version, highest));
    };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0)
        c.compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
    else if (std::strcmp(interface, wl_subcompositor_interface.name) == 0)
        c.subcompositor = static_cast<wl_subcompositor*>(bind(&wl_subcompositor_interface, 1));
    else if (std::strcmp(interface, wl_shm_interface.name) == 0)
        c.shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && c.seat == nullptr) {
        c.seat = static_cast<wl_seat*>(bind(&wl_seat_interface, 5));
        wl_seat_add_listener(c.seat, &SeatListener, &c);
    } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0)
        c.screencopy = static_cast<zwlr_screencopy_manager_v1*>(
            bind(&zwlr_screencopy_manager_v1_interface, 1));
    else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0)
        c.layerShell = static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 1));
    else if (std::strcmp(interface, wp_viewporter_interface.name) == 0)
        c.viewporter = static_cast<wp_viewporter*>(bind(&wp_viewporter_interface, 1));
    else if (c.overPicture && std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        c.shell = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(c.shell, &ShellListener, &c);
    } else if (c.overPicture &&
               std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        c.outputManager = static_cast<zxdg_output_manager_v1*>(
            bind(&zxdg_output_manager_v1_interface, 3));
        for (const auto& output : c.outputs)
            WatchLayout(c, *output);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto output = std::make_unique<OverlayOutput>();
        output->connection = &c;
        output->output = static_cast<wl_output*>(bind(&wl_output_interface, 2));
        wl_output_add_listener(output->output, &OutputListener, output.get());
        if (c.copying)
            StartCopy(*output); // its transform and scale come before the copy's events
        if (c.overPicture) {
            // An output added once the picture is cut is not in it: nothing covers it.
            if (c.cut)
                return;
            WatchLayout(c, *output);
        }
        c.outputs.push_back(std::move(output));
    }
}
void Removed(void*, wl_registry*, uint32_t) {}
const wl_registry_listener RegistryListener{Announced, Removed};

} // namespace

WlrootsOverlay::WlrootsOverlay() : FConnection(std::make_unique<Connection>())
{
    FConnection->owner = this;
}

WlrootsOverlay::~WlrootsOverlay() = default;

std::unique_ptr<WlrootsOverlay> WlrootsOverlay::begin(QString& failure, const QImage* picture)
{
    std::unique_ptr<WlrootsOverlay> overlay(new WlrootsOverlay);
    Connection& c = *overlay->FConnection;
    if (picture != nullptr) {
        c.overPicture = true;
        c.picture = *picture;
    }
    c.display = wl_display_connect(nullptr);
    if (c.display == nullptr) {
        failure = QStringLiteral("cannot connect to the Wayland compositor");
        return nullptr;
    }
    c.registry = wl_display_get_registry(c.display);
    wl_registry_add_listener(c.registry, &RegistryListener, &c);
    AskRoundtrip(c.display, &c.sync);
    return overlay;
}

WlrootsOverlay::Stage WlrootsOverlay::refuse(const QString& failure)
{
    FFailure = failure;
    FStage = Stage::Failed;
    return FStage;
}

// Each stage waits for what the compositor owes it, then asks for the next.
WlrootsOverlay::Stage WlrootsOverlay::advance()
{
    Connection& c = *FConnection;
    for (;;) {
        if (c.refused && FStage != Stage::Up && FStage != Stage::Failed)
            return refuse(QString::fromLatin1(CanvasRefused));
        switch (FStage) {
        case Stage::Globals:
            if (c.sync != nullptr)
                return FStage;
            AskRoundtrip(c.display, &c.sync);
            FStage = Stage::Outputs;
            break;
        case Stage::Outputs:
            if (c.sync != nullptr)
                return FStage;
            if (c.overPicture) {
                if (c.compositor == nullptr || c.shm == nullptr || c.shell == nullptr ||
                    c.outputs.empty())
                    return refuse(QStringLiteral(
                        "the Wayland compositor shows no fullscreen surface of a client"));
            } else if (c.compositor == nullptr || c.shm == nullptr || c.screencopy == nullptr ||
                       c.layerShell == nullptr || c.outputs.empty()) {
                return refuse(QStringLiteral(
                    "the Wayland compositor lets no client copy and cover its outputs"));
            }
            // Without a seat no click or key could ever end the pick.
            if (c.seat == nullptr)
                return refuse(QStringLiteral("the Wayland compositor has no seat: no pointer or "
                                             "keyboard could end the pick"));
            c.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
            if (c.overPicture) {
                c.cut = true;
                const bool cut = CutPicture(c);
                c.picture = QImage(); // each output holds its part now
                if (!cut)
                    return refuse(QStringLiteral(
                        "the desktop's picture does not match the Wayland compositor's outputs"));
            } else {
                c.copying = true;
                for (const auto& output : c.outputs)
                    StartCopy(*output);
            }
            FStage = Stage::Copies;
            break;
        case Stage::Copies:
            if (!std::all_of(c.outputs.begin(), c.outputs.end(),
                             [](const auto& output) { return output->copied || output->failed; }))
                return FStage;
            for (const auto& output : c.outputs) {
                if (output->failed)
                    return refuse(output->refusal.isEmpty() ? QString::fromLatin1(CanvasRefused)
                                                            : output->refusal);
                if (!output->placed)
                    PlaceRightmost(c, *output);
            }
            for (const auto& output : c.outputs)
                if (!Cover(*output))
                    return refuse(QStringLiteral("cannot make the overlay's picture"));
            c.covering = true;
            FStage = Stage::Overlays;
            break;
        case Stage::Overlays:
            if (!std::all_of(c.outputs.begin(), c.outputs.end(), [](const auto& output) {
                    return output->surface == nullptr || output->configured;
                }))
                return FStage;
            if (wl_display_flush(c.display) < 0 && errno != EAGAIN)
                return refuse(WaylandFailure(WaylandWait::Broken));
            c.up = true;
            FStage = Stage::Up;
            return FStage;
        case Stage::Up:
        case Stage::Failed:
            return FStage;
        }
    }
}

std::unique_ptr<WlrootsOverlay> WlrootsOverlay::open(QString& failure)
{
    std::unique_ptr<WlrootsOverlay> overlay = begin(failure);
    if (!overlay)
        return nullptr;
    // The whole start is bounded: a compositor that stops answering, or never
    // sends a copy or a configure it owes, ends the pick rather than hanging it.
    const WaylandWait wait =
        DispatchUntil(overlay->FConnection->display, QDeadlineTimer(WaylandPatienceMs), [&] {
            const Stage stage = overlay->advance();
            return stage == Stage::Up || stage == Stage::Failed;
        });
    if (wait != WaylandWait::Done) {
        failure = WaylandFailure(wait);
        return nullptr;
    }
    if (overlay->FStage == Stage::Failed) {
        failure = overlay->FFailure;
        return nullptr;
    }
    return overlay;
}

std::unique_ptr<WlrootsOverlay> WlrootsOverlay::openLater(Opened opened, QString& failure)
{
    std::unique_ptr<WlrootsOverlay> overlay = begin(failure);
    if (overlay)
        overlay->startLater(std::move(opened));
    return overlay;
}

std::unique_ptr<FrozenDesktop> WlrootsOverlay::showPicture(const QImage& picture, Opened opened)
{
    QString failure;
    std::unique_ptr<WlrootsOverlay> overlay = begin(failure, &picture);
    if (overlay)
        overlay->startLater(std::move(opened));
    return overlay;
}

void WlrootsOverlay::startLater(Opened opened)
{
    FOpened = std::move(opened);
    auto* deadline = new QTimer(this);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this,
            [this] { opening(WaylandFailure(WaylandWait::TimedOut)); });
    deadline->start(WaylandPatienceMs);
    listen();
}

// The end of a start from the event loop: up, or why not.
void WlrootsOverlay::opening(const QString& failure)
{
    if (!FOpened)
        return;
    const Opened opened = std::move(FOpened);
    FOpened = nullptr;
    if (!failure.isEmpty() && FNotifier != nullptr)
        FNotifier->setEnabled(false);
    opened(failure);
}

void WlrootsOverlay::listen()
{
    if (FNotifier != nullptr || FConnection->display == nullptr)
        return;
    FNotifier =
        new QSocketNotifier(wl_display_get_fd(FConnection->display), QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &WlrootsOverlay::readEvents);
    // Events read in with the last answers wait in the queue; the socket won't tell of them.
    QMetaObject::invokeMethod(this, &WlrootsOverlay::readEvents, Qt::QueuedConnection);
}

void WlrootsOverlay::readEvents()
{
    Connection& c = *FConnection;
    if (c.display == nullptr)
        return;
    bool broken = false;
    if (wl_display_prepare_read(c.display) == 0)
        broken = wl_display_read_events(c.display) < 0;
    broken = broken || wl_display_dispatch_pending(c.display) < 0;
    // Still starting in the background: the next stage's requests go out below.
    const Stage stage = !FOpened ? FStage
                        : broken ? refuse(WaylandFailure(WaylandWait::Broken))
                                 : advance();
    broken = broken || (wl_display_flush(c.display) < 0 && errno != EAGAIN);
    if (FOpened) {
        if (stage == Stage::Up && !broken)
            opening({});
        else if (stage == Stage::Failed || broken)
            opening(stage == Stage::Failed ? FFailure : WaylandFailure(WaylandWait::Broken));
        return;
    }
    if (broken)
        finish(Outcome::Failed);
}

void WlrootsOverlay::finish(Outcome outcome)
{
    if (!FConnection->display)
        return;
    HSLUtils::TColor color = Pixel::NoColor;
    if (outcome == Outcome::Picked) {
        const Pixel pixel =
            FConnection->aim ? pixelAt(FConnection->aim->x(), FConnection->aim->y()) : Pixel{};
        if (pixel.status == Pixel::Status::Color)
            color = pixel.color;
        else
            outcome = Outcome::Failed;
    }
    // The overlays go before the answer: the desktop is free again.
    if (FNotifier != nullptr)
        FNotifier->setEnabled(false);
    FConnection = std::make_unique<Connection>();
    FConnection->owner = this;
    if (finished)
        finished(outcome, color);
}

std::optional<QPoint> WlrootsOverlay::cursorPos()
{
    return FConnection->aim;
}

DesktopPixels::Pixel WlrootsOverlay::pixelAt(int x, int y)
{
    const OverlayOutput* output = FConnection->outputAt({x, y});
    if (output == nullptr)
        return {};
    const std::optional<HSLUtils::TColor> color =
        output->frame->colorAt(QPoint(x, y) - output->origin);
    if (!color)
        return {};
    return {Pixel::Status::Color, *color};
}

DesktopPixels::Block WlrootsOverlay::blockAt(QPoint centre)
{
    const OverlayOutput* output = FConnection->outputAt(centre);
    return readBlock(centre, output != nullptr ? output->desktopRect() : QRect());
}

bool WlrootsOverlay::showOverlay(QPoint at, const QImage& picture)
{
    Connection& c = *FConnection;
    OverlayOutput* output = c.outputAt(at);
    if (output == nullptr || c.display == nullptr)
        return false;
    for (const auto& other : c.outputs)
        if (other.get() != output)
            c.hideLoupe(*other);
    const QPoint placed = at - output->origin;
    const bool redraw = picture.cacheKey() != FShownKey;
    if (!redraw && output->loupe.topLeft() == placed && !output->loupe.isEmpty())
        return true;
    if (!c.placeLoupe(*output, placed, picture, redraw))
        return false;
    FShownKey = picture.cacheKey();
    wl_display_flush(c.display);
    return true;
}

void WlrootsOverlay::hideOverlay()
{
    Connection& c = *FConnection;
    if (c.display == nullptr)
        return;
    for (const auto& output : c.outputs)
        c.hideLoupe(*output);
    wl_display_flush(c.display);
}
