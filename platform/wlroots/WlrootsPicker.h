#pragma once
// The pick on a wlroots desktop: the outputs frozen under overlays of the
// program's own (WlrootsOverlay). It samples the frozen copies live, so that the
// window's fields follow the pointer, and ends itself when the user picks or
// cancels there.
#include "platform/DesktopPicker.h"

#include <QString>
#include <functional>
#include <memory>

class WlrootsOverlay;

class WlrootsPicker : public DesktopPicker {
public:
    WlrootsPicker();
    ~WlrootsPicker() override;

    // Copies the outputs and shows the overlays now, even before the application
    // object exists; start() then goes on from there. False when it cannot.
    bool prepare();

    void start(const QWindow* window, Handlers handlers) override;
    void stop() override;
    bool isRunning() const override;
    DesktopPixels* live() override;

    // Why the last start failed, for a message of one line.
    QString failure() const { return FFailure; }

private:
    // The overlays up: their input ends the pick from now on.
    void run(Handlers handlers);
    void fail(Handlers handlers);

    std::unique_ptr<WlrootsOverlay> FOverlay;
    QString FFailure;
};
