#include "platform/pipewire/PipeWireDesktop.h"

#include "platform/pipewire/PipeWireStream.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

#include <pipewire/pipewire.h>

PipeWireDesktop::PipeWireDesktop() = default;

PipeWireDesktop::~PipeWireDesktop()
{
    delete FNotifier;
    FStreams.clear();
    if (FRegistry != nullptr) {
        spa_hook_remove(&FRegistryListener);
        pw_proxy_destroy(reinterpret_cast<pw_proxy*>(FRegistry));
    }
    if (FCore != nullptr) {
        spa_hook_remove(&FCoreListener);
        pw_core_disconnect(FCore);
    }
    if (FContext != nullptr)
        pw_context_destroy(FContext);
    if (FLoop != nullptr) {
        pw_loop_leave(FLoop);
        pw_loop_destroy(FLoop);
    }
}

bool PipeWireDesktop::open(int fd, const std::vector<Stream>& streams, Handlers handlers)
{
    // PipeWire's client expects its descriptor above the standard ones.
    const int remote = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    if (remote < 0 || streams.empty() || streams.size() > MaxStreams) {
        if (remote >= 0)
            ::close(remote);
        return false;
    }
    FLoop = pw_loop_new(nullptr);
    FContext = FLoop != nullptr ? pw_context_new(FLoop, nullptr, 0) : nullptr;
    if (FContext == nullptr) {
        ::close(remote);
        return false;
    }
    FCore = pw_context_connect_fd(FContext, remote, nullptr, 0); // takes the descriptor
    if (FCore == nullptr)
        return false;
    static const pw_core_events coreEvents = [] {
        pw_core_events e{};
        e.version = PW_VERSION_CORE_EVENTS;
        e.error = [](void* self, uint32_t id, int, int, const char*) {
            // The connection itself broke (the daemon went away); a stream's
            // own errors come through its state.
            if (id == PW_ID_CORE)
                static_cast<PipeWireDesktop*>(self)->onFailed();
        };
        return e;
    }();
    pw_core_add_listener(FCore, &FCoreListener, &coreEvents, this);
    // A shared monitor's node removed: its source went away (the compositor
    // ended that stream).
    static const pw_registry_events registryEvents = [] {
        pw_registry_events e{};
        e.version = PW_VERSION_REGISTRY_EVENTS;
        e.global_remove = [](void* self, uint32_t id) {
            static_cast<PipeWireDesktop*>(self)->onRemoved(id);
        };
        return e;
    }();
    FRegistry = pw_core_get_registry(FCore, PW_VERSION_REGISTRY, 0);
    if (FRegistry != nullptr)
        pw_registry_add_listener(FRegistry, &FRegistryListener, &registryEvents, this);
    FHandlers = std::move(handlers);
    // Side by side, each in a space of its own: a monitor is found by the
    // stream that has the pointer, never by where the portal says it is.
    int left = 0;
    for (const Stream& s : streams) {
        FNodes.push_back(s.node);
        FStreams.push_back(std::make_unique<PipeWireStream>(
            FCore, s.node, QPoint(left, 0),
            PipeWireStream::Events{[this] { onRunning(); }, [this] { onFailed(); },
                                   [this] { onImage(); }}));
        left += PipeWireStream::MaxSide;
    }
    pw_loop_enter(FLoop);
    FNotifier = new QSocketNotifier(pw_loop_get_fd(FLoop), QSocketNotifier::Read);
    QObject::connect(FNotifier, &QSocketNotifier::activated, this,
                     [this] { pw_loop_iterate(FLoop, 0); });
    return true;
}

void PipeWireDesktop::onRunning()
{
    if (FRunning || FFailed)
        return;
    for (const auto& stream : FStreams)
        if (!stream->isRunning())
            return;
    FRunning = true;
    QTimer::singleShot(ImageDeadline, this, [this] {
        if (!FFailed && !FImageSeen && FHandlers.noImage)
            FHandlers.noImage();
    });
    if (FHandlers.running)
        FHandlers.running();
}

// A second after the first image, the streams must have told where the
// pointer is; GNOME's and KDE's tell it with their first buffers.
void PipeWireDesktop::onImage()
{
    if (FImageSeen)
        return;
    FImageSeen = true;
    QTimer::singleShot(PointerDeadline, this, [this] {
        if (FFailed)
            return;
        for (const auto& stream : FStreams)
            if (stream->toldPointer())
                return;
        if (FHandlers.noPointer)
            FHandlers.noPointer();
    });
}

void PipeWireDesktop::onRemoved(quint32 id)
{
    if (std::find(FNodes.begin(), FNodes.end(), id) != FNodes.end())
        onFailed();
}

void PipeWireDesktop::onFailed()
{
    if (FFailed)
        return;
    FFailed = true;
    if (FHandlers.failed)
        FHandlers.failed();
}

// The stream with the newest news of the pointer. One that holds no image to
// read gives way to one that does: a monitor shared twice (KDE may answer
// with more streams than asked for) has a copy whose images may never come.
std::optional<QPoint> PipeWireDesktop::cursorPos()
{
    FPointerStream = nullptr;
    quint64 newest = 0;
    bool withImage = false;
    for (const auto& stream : FStreams) {
        if (!stream->pointer() || (withImage && !stream->hasImage()))
            continue;
        const bool better = stream->hasImage() && !withImage;
        if (better || stream->pointerSerial() > newest) {
            newest = stream->pointerSerial();
            withImage = stream->hasImage();
            FPointerStream = stream.get();
        }
    }
    // On no shared monitor (each says it left): no point this tick.
    if (FPointerStream == nullptr)
        return std::nullopt;
    return FPointerStream->pointer();
}

bool PipeWireDesktop::screenReadable() const
{
    return !FFailed;
}

const PipeWireStream* PipeWireDesktop::streamAt(QPoint at) const
{
    if (FPointerStream != nullptr && FPointerStream->rect().contains(at))
        return FPointerStream;
    for (const auto& stream : FStreams)
        if (stream->rect().contains(at))
            return stream.get();
    return nullptr;
}

DesktopPixels::Pixel PipeWireDesktop::pixelAt(int x, int y)
{
    const PipeWireStream* stream = streamAt({x, y});
    const auto color = stream != nullptr ? stream->pixelAt({x, y}) : std::nullopt;
    if (!color)
        return {};
    FLastColor = color;
    return {Pixel::Status::Color, *color};
}

DesktopPixels::Block PipeWireDesktop::blockAt(QPoint centre)
{
    Block block;
    block.centre = centre;
    block.pixel = pixelAt(centre.x(), centre.y());
    const PipeWireStream* stream = streamAt(centre);
    if (stream == nullptr)
        return block;
    // Row by row, each the part of it on the monitor, in one read.
    const QRect monitor = stream->rect();
    block.monitor = monitor;
    const int left = std::max(centre.x() - Block::Radius, monitor.left());
    const int right = std::min(centre.x() + Block::Radius, monitor.right());
    for (int dy = -Block::Radius; dy <= Block::Radius; ++dy) {
        const QPoint from(left, centre.y() + dy);
        if (left > right || !monitor.contains(from))
            continue;
        HSLUtils::TColor* first = &block.at(left - centre.x(), dy);
        if (!stream->rowAt(from, right - left + 1, first))
            std::fill(first, first + (right - left + 1), Block::Outside);
    }
    return block;
}

extern "C" Q_DECL_EXPORT ScreenCastDesktop* huvellaNewScreenCastDesktop()
{
    static const bool initialised = [] {
        pw_init(nullptr, nullptr);
        return true;
    }();
    (void)initialised;
    return new PipeWireDesktop;
}
