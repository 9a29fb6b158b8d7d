#include "platform/PickerMode.h"

PickerMode ResolvePickerMode(PickerMode mode, const QProcessEnvironment& environment)
{
    if (mode != PickerMode::Auto)
        return mode;
    const bool wayland =
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
        environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland");
    return wayland ? PickerMode::Portal : PickerMode::X11;
}
