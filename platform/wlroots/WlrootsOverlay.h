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
    // The same from the event loop, so that the window goes on meanwhile:
    // `opened` runs once, with an empty failure when the overlays are up (input
    // is read from then on), or why they are not, within WaylandPatienceMs.
    // Null, with `failure`, when there is no compositor to connect to.
    using Opened = std::function<void(const QString& failure)>;
    static std::unique_ptr<WlrootsOverlay> openLater(Opened opened, QString& failure);
    // Reads the pointer and the keyboard from the event loop from now on.
    void listen();
    // The overlays are up.
    bool up() const { return FStage == Stage::Up; }
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
    // How far the start has come: each stage waits for the compositor.
    enum class Stage { Globals, Outputs, Copies, Overlays, Up, Failed };

    WlrootsOverlay();
    // Connects and asks for the globals.
    static std::unique_ptr<WlrootsOverlay> begin(QString& failure);
    Stage advance();
    Stage refuse(const QString& failure);
    void opening(const QString& failure);
    void readEvents();
    void finish(Outcome outcome);

    std::unique_ptr<Connection> FConnection;
    Stage FStage = Stage::Globals;
    QString FFailure; // why the start failed
    Opened FOpened;   // while starting in the background
    QSocketNotifier* FNotifier = nullptr;
    qint64 FShownKey = 0; // the loupe picture drawn last
};
