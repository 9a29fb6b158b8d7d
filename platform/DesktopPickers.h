#pragma once
// The one place that knows every way of reading the desktop: the picker of
// the way `platform` names, made when the window first picks. An Auto choice
// left open on a Wayland session is settled here, by asking the compositor.
#include "platform/DesktopPicker.h"

#include <memory>

struct Platform;

std::unique_ptr<DesktopPicker> MakeDesktopPicker(Platform& platform);
