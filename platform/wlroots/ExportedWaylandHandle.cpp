#include "platform/ExportedWaylandHandle.h"

#include "xdg-foreign-unstable-v1-client-protocol.h"
#include "xdg-foreign-unstable-v2-client-protocol.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <poll.h>

// Named apart: the family's files are compiled as one.
namespace foreign_export {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds HandleWait{5};
// A handle is an opaque token, spaces included (Mutter draws its characters
// from all of printable ASCII); one longer than this or with control
// characters is no handle but a broken compositor.
constexpr std::size_t LongestHandle = 256;

// One window's export: its own queue, so that waiting for the handle never
// dispatches Qt's queue, and the exported object, which must live as long as
// the handle is to be honoured. Unstable v2 where offered; else v1, all that
// GNOME Shell 43 offers, whose portal backend imports v1 handles.
struct Export {
    wl_surface* surface = nullptr;
    wl_event_queue* queue = nullptr;
    zxdg_exported_v2* exportedV2 = nullptr;
    zxdg_exported_v1* exportedV1 = nullptr;
    QString handle;

    Export() = default;
    Export(const Export&) = delete;
    Export& operator=(const Export&) = delete;
    ~Export()
    {
        revoke();
        if (queue != nullptr)
            wl_event_queue_destroy(queue);
    }
    void revoke()
    {
        if (exportedV2 != nullptr)
            zxdg_exported_v2_destroy(exportedV2);
        if (exportedV1 != nullptr)
            zxdg_exported_v1_destroy(exportedV1);
        exportedV2 = nullptr;
        exportedV1 = nullptr;
        handle.clear();
    }
};

struct Exporters {
    zxdg_exporter_v2* v2 = nullptr;
    zxdg_exporter_v1* v1 = nullptr;
};

// Never destroyed: at exit Qt's connection is gone, and with it any need to
// revoke a handle.
std::map<const QWindow*, std::unique_ptr<Export>>& exports()
{
    static auto* byWindow = new std::map<const QWindow*, std::unique_ptr<Export>>;
    return *byWindow;
}

// Qt destroys a window's surface when it hides it: the export goes with it,
// rather than wait for a new surface that might reuse the old one's address.
class HideWatch final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Hide)
            return false;
        if (const auto found = exports().find(static_cast<const QWindow*>(watched));
            found != exports().end())
            found->second.reset();
        return false;
    }
};

HideWatch& hideWatch()
{
    static auto* watch = new HideWatch; // as long-lived as the exports
    return *watch;
}

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t /*version*/)
{
    auto& exporters = *static_cast<Exporters*>(data);
    if (exporters.v2 == nullptr && std::strcmp(interface, zxdg_exporter_v2_interface.name) == 0)
        exporters.v2 = static_cast<zxdg_exporter_v2*>(
            wl_registry_bind(registry, name, &zxdg_exporter_v2_interface, 1));
    if (exporters.v1 == nullptr && std::strcmp(interface, zxdg_exporter_v1_interface.name) == 0)
        exporters.v1 = static_cast<zxdg_exporter_v1*>(
            wl_registry_bind(registry, name, &zxdg_exporter_v1_interface, 1));
}
void onGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener RegistryListener{onGlobal, onGlobalRemove};

template <class Exported> void onHandle(void* data, Exported*, const char* handle)
{
    const std::size_t length = std::strlen(handle);
    const bool printable = std::all_of(handle, handle + length, [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && c != 0x7f;
    });
    if (length > 0 && length <= LongestHandle && printable)
        *static_cast<QString*>(data) = QString::fromUtf8(handle, static_cast<qsizetype>(length));
}
const zxdg_exported_v2_listener ExportedV2Listener{onHandle<zxdg_exported_v2>};
const zxdg_exported_v1_listener ExportedV1Listener{onHandle<zxdg_exported_v1>};

void onDone(void* data, wl_callback*, uint32_t)
{
    *static_cast<bool*>(data) = true;
}
const wl_callback_listener DoneListener{onDone};

// wl_display_roundtrip_queue with a deadline: waits for the compositor to
// answer everything sent on `queue` so far, dispatching that queue only.
bool roundTrip(wl_display* display, wl_display* wrapper, wl_event_queue* queue,
               Clock::time_point deadline)
{
    bool done = false;
    wl_callback* sync = wl_display_sync(wrapper);
    wl_callback_add_listener(sync, &DoneListener, &done);
    bool failed = false;
    while (!done && !failed) {
        while (wl_display_prepare_read_queue(display, queue) != 0)
            if (wl_display_dispatch_queue_pending(display, queue) < 0) {
                failed = true;
                break;
            }
        if (failed || done) {
            if (!failed)
                wl_display_cancel_read(display);
            break;
        }
        if (wl_display_flush(display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display);
            failed = true;
            break;
        }
        int ready = 0;
        do { // a signal only interrupts the wait
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd fd{wl_display_get_fd(display), POLLIN, 0};
            ready = left.count() > 0 ? poll(&fd, 1, static_cast<int>(left.count())) : 0;
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0) {
            wl_display_cancel_read(display);
            failed = true;
            break;
        }
        if (wl_display_read_events(display) < 0 ||
            wl_display_dispatch_queue_pending(display, queue) < 0)
            failed = true;
    }
    wl_callback_destroy(sync);
    return done;
}

// Binds the exporter on a registry of `e`'s own queue, exports `surface` and
// waits for its handle; `e` keeps the export when a handle came.
void exportSurface(wl_display* display, wl_surface* surface, Export& e)
{
    e.surface = surface;
    e.queue = wl_display_create_queue(display);
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), e.queue);
    const Clock::time_point deadline = Clock::now() + HandleWait;

    Exporters exporters;
    wl_registry* registry = wl_display_get_registry(wrapper);
    wl_registry_add_listener(registry, &RegistryListener, &exporters);
    // The exported objects come on the exporter's queue, ours.
    if (roundTrip(display, wrapper, e.queue, deadline)) {
        if (exporters.v2 != nullptr) {
            e.exportedV2 = zxdg_exporter_v2_export_toplevel(exporters.v2, surface);
            zxdg_exported_v2_add_listener(e.exportedV2, &ExportedV2Listener, &e.handle);
        } else if (exporters.v1 != nullptr) {
            e.exportedV1 = zxdg_exporter_v1_export(exporters.v1, surface);
            zxdg_exported_v1_add_listener(e.exportedV1, &ExportedV1Listener, &e.handle);
        }
        // The handle comes as the compositor's answer to the export.
        if ((e.exportedV2 != nullptr || e.exportedV1 != nullptr) &&
            (!roundTrip(display, wrapper, e.queue, deadline) || e.handle.isEmpty()))
            e.revoke();
    }
    // The export outlives its exporter.
    if (exporters.v2 != nullptr)
        zxdg_exporter_v2_destroy(exporters.v2);
    if (exporters.v1 != nullptr)
        zxdg_exporter_v1_destroy(exporters.v1);
    wl_registry_destroy(registry);
    wl_proxy_wrapper_destroy(wrapper);
    wl_display_flush(display);
}

} // namespace
} // namespace foreign_export

QString ExportedWaylandHandle(const QWindow* window)
{
    using namespace foreign_export;
    if (window == nullptr || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return {};
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (native == nullptr)
        return {};
    auto* display = static_cast<wl_display*>(
        native->nativeResourceForIntegration(QByteArrayLiteral("wl_display")));
    auto* surface = static_cast<wl_surface*>(native->nativeResourceForWindow(
        QByteArrayLiteral("surface"), const_cast<QWindow*>(window)));
    if (display == nullptr || surface == nullptr)
        return {};

    auto& byWindow = exports();
    auto found = byWindow.find(window);
    // One answer per surface, a handle or none.
    if (found != byWindow.end() && found->second && found->second->surface == surface)
        return found->second->handle;
    if (found == byWindow.end()) {
        found = byWindow.emplace(window, nullptr).first;
        QObject::connect(window, &QObject::destroyed, [window] { exports().erase(window); });
        const_cast<QWindow*>(window)->installEventFilter(&hideWatch());
    }
    found->second = std::make_unique<Export>();
    exportSurface(display, surface, *found->second);
    return found->second->handle;
}
