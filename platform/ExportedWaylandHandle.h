#pragma once
// How another Wayland client (the desktop portal's dialogs) names one of the
// program's windows: an xdg_foreign handle of the window's own surface.
#include <QString>

class QWindow;

// The zxdg_exporter_v2 handle of `window`'s wl_surface, exported on Qt's own
// Wayland connection at the first call for that surface and kept until the
// window or its surface goes (destroying the export revokes the handle).
// Empty when the program is no Wayland client, the window has no surface yet,
// the compositor offers no zxdg_exporter_v2, or no usable handle came within
// 5 s. Runs on the GUI thread; never dispatches Qt's own event queue.
QString ExportedWaylandHandle(const QWindow* window);
