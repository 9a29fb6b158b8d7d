#pragma once
// The services the window takes from the desktop. The program wires the real
// ones at start-up; tests wire doubles.
#include "platform/PickerMode.h"

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
    DesktopPixels& Desktop;
    // The desktop's own picker, where the program may not read the screen;
    // the picker uses it when Picker is Portal. None: the picker samples live.
    ColorPortal* Portal = nullptr;
    PickerMode Picker = PickerMode::Live; // Live or Portal; Auto counts as Live
};
