#pragma once
// The frozen desktop of a wlroots compositor, on the program's own Wayland
// connection (Qt offers neither layer-shell surfaces nor its connection): each
// output is copied once (zwlr_screencopy_manager_v1) and covered by a surface on
// the overlay layer (zwlr_layer_shell_v1) that shows its copy, takes the pointer
// and the keyboard. The point aimed at is the output's physical pixel under the
// pointer, moved a pixel at a time by the arrow keys. A left click or Enter
// picks it, Escape or a right click cancels.
//
// As a DesktopPixels, it reads the frozen copies: the desktop's pixels are those
// of every output side by side, left to right, each in its own physical pixels
// as it shows them. The loupe is a surface of its own above the overlay.
#include "platform/DesktopPixels.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

class WlrootsOverlay : public QObject, public DesktopPixels {
public:
    enum class Outcome { Picked, Cancelled, Failed };

    // Connects to the compositor of WAYLAND_DISPLAY, copies every output and shows
    // the overlays. Null, with `failure` saying why, when it cannot. Needs no
    // application object: input is read once listen() is called with one.
    static std::unique_ptr<WlrootsOverlay> open(QString& failure);
    // Reads the pointer and the keyboard from the event loop from now on.
    void listen();
    ~WlrootsOverlay() override;

    // The point aimed at moved.
    std::function<void()> moved;
    // The user picked (the aimed point's color is `color`) or cancelled, or the
    // compositor went away. Once, from the event loop; the overlays are closed.
    std::function<void(Outcome outcome, HSLUtils::TColor color)> finished;

    std::optional<QPoint> cursorPos() override;
    bool screenReadable() const override { return true; }
    Pixel pixelAt(int x, int y) override;
    Block blockAt(QPoint centre) override;
    bool showOverlay(QPoint at, const QImage& picture) override;
    bool showsOverlays() const override { return true; }
    void hideOverlay() override;

    struct Connection;

private:
    WlrootsOverlay();
    void readEvents();
    void finish(Outcome outcome);

    std::unique_ptr<Connection> FConnection;
    QSocketNotifier* FNotifier = nullptr;
    qint64 FShownKey = 0; // the loupe picture drawn last
};
