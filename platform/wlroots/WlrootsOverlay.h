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
//
// The same overlay shows a picture the desktop took (the portal's screenshot,
// on GNOME and KDE, which copy nothing for a client and have no overlay layer):
// each output shows its part of the picture from a fullscreen toplevel, and
// the desktop's pixels are the picture's. The toolkit's own Wayland connection
// reads every event on two threads of its own, which wake each other and the
// program for each pointer motion; this connection is read on the program's
// thread alone.
#include "platform/FrozenDesktop.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

class QImage;

class WlrootsOverlay : public QObject, public FrozenDesktop {
public:
    // Connects to the compositor of WAYLAND_DISPLAY, copies every output and shows
    // the overlays. Null, with `failure` saying why, when it cannot. Needs no
    // application object: input is read once listen() is called with one.
    static std::unique_ptr<WlrootsOverlay> open(QString& failure);
    // The same from the event loop, so that the window goes on meanwhile:
    // `opened` runs once, with an empty failure when the overlays are up (input
    // is read from then on), or why they are not, within WaylandPatienceMs.
    // Null, with `failure`, when there is no compositor to connect to.
    static std::unique_ptr<WlrootsOverlay> openLater(Opened opened, QString& failure);
    // Shows `picture` (all outputs in one, in physical pixels, laid out as the
    // outputs are) as a FrozenDesktop::Show, from the event loop in the same way.
    static std::unique_ptr<FrozenDesktop> showPicture(const QImage& picture, Opened opened);
    // Reads the pointer and the keyboard from the event loop from now on.
    void listen();
    // The overlays are up.
    bool up() const { return FStage == Stage::Up; }
    ~WlrootsOverlay() override;

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
    // Connects and asks for the globals; with a picture, to show it.
    static std::unique_ptr<WlrootsOverlay> begin(QString& failure, const QImage* picture = nullptr);
    void startLater(Opened opened);
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
