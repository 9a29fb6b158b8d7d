#pragma once
// The services the window takes from the desktop. The program wires the real
// ones at start-up; tests wire doubles.
#include "platform/PickerMode.h"

#include <QString>

class ColorChooser;
class ColorPortal;
class DesktopPixels;
class FileOutput;
class MessageBoxes;
class SaveDialog;
class SystemColors;

struct Platform {
    MessageBoxes& Boxes;
    const SystemColors& Colors;
    ColorChooser& ColorDialog;
    SaveDialog& SaveFileDialog;
    FileOutput& Files;
    // The X11 screen, which the picker samples live when Picker is X11.
    DesktopPixels& Desktop;
    // The desktop's own picker, where the program may not read the screen;
    // the picker uses it when Picker is Portal. None: the picker samples live.
    ColorPortal* Portal = nullptr;
    PickerMode Picker = PickerMode::X11; // X11, Portal, Wlroots or ScreenCast; Auto counts as X11
    // Picker is Portal only because the session is Wayland's and the user left
    // the choice to the program: the first pick asks the compositor first.
    bool ProbeCompositor = false;
    // Where huvella-screencast.so is, which the ScreenCast picker loads; empty:
    // beside the module the program's code is in (huvella-gui.so).
    QString ScreenCastModule = {};
};
