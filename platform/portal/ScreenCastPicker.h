#pragma once
// Live sampling through the portal's screen cast, for GNOME and KDE on
// Wayland: the portal's session asks the user once to share the monitors, and
// the monitors' streams give each tick the pointer's position and the pixels
// under it. PipeWire is loaded with the module at the first pick.
#include "platform/DesktopPicker.h"
#include "platform/ScreenCastDesktop.h"
#include "platform/portal/ScreenCastPortal.h"

#include <QObject>
#include <QString>
#include <memory>

class QTimer;

class ScreenCastPicker final : public QObject, public DesktopPicker {
public:
    // `module`: the path of huvella-screencast.so; empty: beside the module
    // this code is linked into (huvella-gui.so), found at the first pick.
    // `oneShot`: the pick that takes over, in the same pick, when the streams
    // bring images but never the pointer, or never an image; without one
    // such a pick fails.
    explicit ScreenCastPicker(QString module, std::unique_ptr<DesktopPicker> oneShot = nullptr);
    ~ScreenCastPicker() override;

    void start(const QWindow* window, Handlers handlers) override;
    void stop() override;
    bool isRunning() const override;
    DesktopPixels* live() override;

    // The restore token the next pick passes (empty before the first grant).
    const QString& restoreToken() const { return FPortal.restoreToken(); }

private:
    // Asks the portal for the session, with the grant restored when there is one.
    void openSession();
    void onGranted(ScreenCastPortal::Grant grant);
    // The streams will never give a color (they never tell where the pointer
    // is, or never send an image): the session closes, and the one-shot pick
    // goes on with the same window and handlers.
    void handOverLater();
    void handOver();
    // The streams run and have sent no image: a new session once, then the
    // one-shot pick.
    void askAgainLater();
    // Ends the pick from the event loop, after whatever called this returned:
    // a stream may report its failure from inside its own callback.
    void endLater(Ending ending);
    Ending stoppedByDesktop() const;
    std::unique_ptr<ScreenCastDesktop> newDesktop();
    // The screen-cast module's path beside `module`.
    static QString beside(const QString& module);

    // From the grant until every stream runs: a remote that never speaks, or a
    // stream that never starts, fails the pick.
    QTimer* FRunningDeadline = nullptr;
    QString FModule;
    HuvellaNewScreenCastDesktop FNewDesktop = nullptr;
    ScreenCastPortal FPortal;
    std::unique_ptr<ScreenCastDesktop> FDesktop;
    std::unique_ptr<DesktopPicker> FOneShot;
    const QWindow* FWindow = nullptr;
    Handlers FHandlers;
    bool FRunning = false;
    bool FStarted = false;
    bool FAskedAgain = false; // this pick's session was opened a second time
    quint64 FPicks = 0; // numbers the picks: an ending posted for an earlier one is dropped
};
