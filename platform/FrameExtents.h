#pragma once
#include <QMargins>

class QWidget;

// The widths of the frame (left, top, right, bottom, in device-independent
// pixels) that the window manager is going to put around `window`, a top-level
// widget whose native window exists but is not mapped yet, so that the window
// can be placed by its outer edges before it first appears. Empty without a
// window manager that announces its frames, and off X11.
QMargins AnnouncedFrameExtents(QWidget& window);
