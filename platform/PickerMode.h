#pragma once
// How the picker reads the desktop: by sampling the X11 screen live under the
// pointer, or by one pick through the desktop portal, the only way on a Wayland
// session, where no client can read the screen or the pointer. Auto takes the
// portal on a Wayland session and live sampling elsewhere.
#include <QProcessEnvironment>

enum class PickerMode { Auto, Live, Portal };

// Live or Portal: Auto resolved by the session the program runs in (a Wayland
// session: WAYLAND_DISPLAY set, or XDG_SESSION_TYPE=wayland), whichever Qt
// platform plugin the window itself uses.
PickerMode ResolvePickerMode(PickerMode mode, const QProcessEnvironment& environment =
                                                  QProcessEnvironment::systemEnvironment());
