#pragma once
// How the picker reads the desktop:
// - X11: sampling the X11 screen live under the pointer (`live` is its old name);
// - Portal: one pick through the desktop portal's own picker;
// - Wlroots: the frozen frame of a wlroots compositor (sway and its kin), shown
//   over every output while the pointer aims;
// - ScreenCast: live sampling of the monitors the desktop portal shares as
//   PipeWire streams, with the pointer's position in each buffer (GNOME, KDE);
// - Screenshot: the frozen frame of one picture the desktop portal takes of
//   every monitor (GNOME, KDE), shown by a fullscreen window on each.
// Auto takes X11 outside a Wayland session. On a Wayland session it resolves to
// Portal here, and the first pick asks the compositor whether a better way is
// offered (WaylandPickerProbe.h): no client may read the screen or the pointer
// there otherwise.
#include <QProcessEnvironment>

enum class PickerMode { Auto, X11, Live = X11, Portal, Wlroots, ScreenCast, Screenshot };

// X11 or Portal: Auto resolved by the session the program runs in (a Wayland
// session: WAYLAND_DISPLAY set, or XDG_SESSION_TYPE=wayland), whichever Qt
// platform plugin the window itself uses.
PickerMode ResolvePickerMode(PickerMode mode, const QProcessEnvironment& environment =
                                                  QProcessEnvironment::systemEnvironment());
