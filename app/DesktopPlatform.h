#pragma once
// The real platform services of the running program, wired into one Platform.
#include "platform/ClassicSystemColors.h"
#include "platform/Platform.h"
#include "platform/PosixFileOutput.h"
#include "platform/QtColorChooser.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSaveDialog.h"
#include "platform/X11DesktopPixels.h"

struct DesktopPlatform {
    QtMessageBoxes boxes;
    ClassicSystemColors colors;
    QtColorChooser chooser;
    QtSaveDialog saveDialog;
    PosixFileOutput files;
    X11DesktopPixels desktop;
    Platform platform{boxes, colors, chooser, saveDialog, files, desktop};
};
