#pragma once
// Live sampling of the X11 screen: from the start on, the window's ticks read
// the pointer and the pixels under it. While it runs, the program's threads
// stay on one CPU and the server keeps what the loupe covers of the window.
// It ends only when the window stops it.
#include "platform/DesktopPicker.h"

#include <QtGlobal>
#include <memory>

class ThreadsOnOneCpu;

class X11LivePicker : public DesktopPicker {
public:
    // Samples `desktop`, which outlives the picker.
    explicit X11LivePicker(DesktopPixels& desktop);
    ~X11LivePicker() override;

    void start(const QWindow* window, Handlers handlers) override;
    void stop() override;
    bool isRunning() const override { return FRunning; }
    DesktopPixels* live() override { return FRunning ? &FDesktop : nullptr; }

private:
    DesktopPixels& FDesktop;
    bool FRunning = false;
    quintptr FWindow = 0;
    std::unique_ptr<ThreadsOnOneCpu> FSamplingCpu;
};
