#pragma once
// The real platform services of the running program, wired into one Platform.
#include "platform/ClassicSystemColors.h"
#include "platform/Platform.h"
#include "platform/files/PosixFileOutput.h"
#include "platform/qt/QtColorChooser.h"
#include "platform/portal/QtDBusColorPortal.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtSaveDialog.h"
#include "platform/x11/X11DesktopPixels.h"

struct DesktopPlatform {
    // `picker` as the user asked for it; Auto picks by the session.
    explicit DesktopPlatform(PickerMode picker = PickerMode::Auto)
        : platform{boxes, colors,  chooser, saveDialog,
                   files, desktop, &portal, ResolvePickerMode(picker)}
    {
        // On a Wayland session, the first pick asks the compositor for a better way.
        platform.ProbeCompositor =
            picker == PickerMode::Auto && platform.Picker == PickerMode::Portal;
    }

    QtMessageBoxes boxes;
    ClassicSystemColors colors;
    QtColorChooser chooser;
    QtSaveDialog saveDialog;
    PosixFileOutput files;
    X11DesktopPixels desktop;
    QtDBusColorPortal portal;
    Platform platform;
};
