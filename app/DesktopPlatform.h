#pragma once
// The real platform services of the running program, wired into one Platform.
#include "platform/ClassicSystemColors.h"
#include "platform/Platform.h"
#include "platform/PosixFileOutput.h"
#include "platform/QtColorChooser.h"
#include "platform/QtDBusColorPortal.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSaveDialog.h"
#include "platform/X11DesktopPixels.h"

#include <QFileInfo>
#include <dlfcn.h>

struct DesktopPlatform {
    // `picker` as the user asked for it; Auto picks by the session.
    explicit DesktopPlatform(PickerMode picker = PickerMode::Auto)
        : platform{boxes, colors,  chooser, saveDialog,
                   files, desktop, &portal, ResolvePickerMode(picker)}
    {
        // On a Wayland session, the first pick asks the compositor for a better way.
        platform.ProbeCompositor =
            picker == PickerMode::Auto && platform.Picker == PickerMode::Portal;
        platform.ScreenCastModule = ScreenCastModulePath();
    }

    // huvella-screencast.so sits beside the module this code is linked into,
    // huvella-gui.so; it is loaded only at a screen-cast pick.
    static QString ScreenCastModulePath()
    {
        Dl_info info{};
        if (dladdr(reinterpret_cast<void*>(&ScreenCastModulePath), &info) == 0 ||
            info.dli_fname == nullptr)
            return {};
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath() +
               QStringLiteral("/huvella-screencast.so");
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
