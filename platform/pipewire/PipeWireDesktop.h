#pragma once
// The screen cast's desktop over libpipewire: one connection on the portal's
// remote, one PipeWireStream per shared monitor. PipeWire's loop runs on the
// main thread, its descriptor under a QSocketNotifier: buffers arrive between
// the window's events, a tick reads the held image directly, and nothing is
// shared between threads or copied.
#include "platform/ScreenCastDesktop.h"

#include <QObject>
#include <memory>

#include <spa/utils/hook.h>

class PipeWireStream;
class QSocketNotifier;
struct pw_context;
struct pw_core;
struct pw_loop;
struct pw_registry;

class PipeWireDesktop final : public QObject, public ScreenCastDesktop {
public:
    PipeWireDesktop();
    ~PipeWireDesktop() override;

    bool open(int fd, const std::vector<Stream>& streams, Handlers handlers) override;

    std::optional<QPoint> cursorPos() override;
    bool screenReadable() const override;
    Pixel pixelAt(int x, int y) override;
    Block blockAt(QPoint centre) override;
    std::optional<HSLUtils::TColor> lastColorRead() const override { return FLastColor; }

private:
    // More streams than any desktop has monitors is a garbled answer; their
    // spaces side by side stay far within int.
    static constexpr std::size_t MaxStreams = 64;
    static constexpr int PointerDeadline = 1000; // ms
    // Compositors send an image as a stream starts; a busy machine may take
    // its time.
    static constexpr int ImageDeadline = 3000; // ms

    void onRunning();
    void onImage();
    void onFailed();
    void onRemoved(quint32 id);
    // The stream that shows `at`: the one the pointer was last found on first,
    // where monitors overlap.
    const PipeWireStream* streamAt(QPoint at) const;

    pw_loop* FLoop = nullptr;
    pw_context* FContext = nullptr;
    pw_core* FCore = nullptr;
    spa_hook FCoreListener{};
    pw_registry* FRegistry = nullptr;
    spa_hook FRegistryListener{};
    std::vector<quint32> FNodes; // the shared monitors' nodes
    QSocketNotifier* FNotifier = nullptr;
    std::vector<std::unique_ptr<PipeWireStream>> FStreams;
    const PipeWireStream* FPointerStream = nullptr;
    Handlers FHandlers;
    bool FRunning = false;
    bool FFailed = false;
    bool FImageSeen = false;
    std::optional<HSLUtils::TColor> FLastColor;
};
