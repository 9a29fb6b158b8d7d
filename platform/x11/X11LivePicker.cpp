#include "platform/x11/X11LivePicker.h"

#include "platform/DesktopPixels.h"
#include "platform/x11/ThreadsOnOneCpu.h"

#include <QWindow>

X11LivePicker::X11LivePicker(DesktopPixels& desktop) : FDesktop(desktop) {}

X11LivePicker::~X11LivePicker()
{
    if (FRunning)
        stop();
}

void X11LivePicker::start(const QWindow* window, Handlers handlers)
{
    FRunning = true;
    FSamplingCpu = std::make_unique<ThreadsOnOneCpu>();
    FWindow = window != nullptr ? window->winId() : 0;
    if (FWindow != 0)
        FDesktop.keepUnderOverlay(FWindow, true); // the loupe passes over the window too
    if (handlers.started)
        handlers.started(); // nothing to wait for: the screen is there to read
}

void X11LivePicker::stop()
{
    if (FWindow != 0)
        FDesktop.keepUnderOverlay(FWindow, false);
    FWindow = 0;
    FSamplingCpu.reset();
    FRunning = false;
}
