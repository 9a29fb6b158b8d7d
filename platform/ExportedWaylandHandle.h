#pragma once
// How another Wayland client (the desktop portal's dialogs) names one of the
// program's windows: an xdg_foreign handle of the window's own surface.
#include <QString>

class QWindow;

// The xdg_foreign handle of `window`'s wl_surface (zxdg_exporter_v2, else
// zxdg_exporter_v1, as on GNOME Shell 43), exported on Qt's own
// Wayland connection at the first call for that surface and kept until the
// window or its surface goes (destroying the export revokes the handle).
// Empty when the program is no Wayland client, the window has no surface yet,
// the compositor offers no exporter, or no usable handle came within
// 5 s. Runs on the GUI thread; never dispatches Qt's own event queue.
QString ExportedWaylandHandle(const QWindow* window);
