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
    ColorPortal& Portal;
    PickerMode Picker; // Live or Portal, never Auto: the desktop's picker is Portal
};
