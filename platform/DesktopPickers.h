#pragma once
// The one place that knows every way of reading the desktop: the picker of
// the way `platform` names, made when the window first picks. An Auto choice
// left open on a Wayland session is settled here, by asking the compositor.
#include "platform/DesktopPicker.h"
#include "platform/PickerMode.h"

#include <memory>

class ColorPortal;
struct Platform;
struct WaylandOffers;

std::unique_ptr<DesktopPicker> MakeDesktopPicker(Platform& platform);

// The way a command's pick takes: the one asked for, or, left to the program on
// a Wayland session, what the desktop offers: the frozen outputs of a wlroots
// compositor, else (with a display to show it on) the portal's screenshot,
// which goes on by the one-shot pick where the portal refuses it. Where the
// window would cast the screen, a command has no window to follow the pointer
// in: it picks once through the portal. X11 is the X server's grab, which the
// command runs itself.
// `offers` is what the compositor answered (ProbeWaylandOffers), asked only for
// Auto on a Wayland session.
PickerMode CommandPickWay(PickerMode asked, bool hasDisplay, const WaylandOffers& offers);

// The picker of a command's way other than X11: wlroots' overlays, the
// screenshot's frozen frame, or the one-shot pick through `portal`, which
// outlives the picker.
std::unique_ptr<DesktopPicker> MakeCommandPicker(PickerMode mode, ColorPortal& portal);

// Whether a command's screenshot is shown on the program's own Wayland
// surfaces (a Wayland session), which need no toolkit window: the toolkit then
// draws offscreen, and no thread of its own wakes for each pointer motion.
// Elsewhere the toolkit's windows show it.
bool CommandShowsOnOwnSurfaces();
