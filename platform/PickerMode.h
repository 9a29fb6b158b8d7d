#pragma once
// How the picker reads the desktop: by sampling the X11 screen live under the
// pointer, or by one pick through the desktop portal, the only way on a Wayland
// session, where no client can read the screen or the pointer. Auto takes the
// portal on a Wayland session and live sampling elsewhere.
enum class PickerMode { Auto, Live, Portal };
