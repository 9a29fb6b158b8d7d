#pragma once
// Every platform service as a test double, wired into one Platform.
#include "RecordingFileOutput.h"
#include "RecordingMessageBoxes.h"
#include "ScriptedColorChooser.h"
#include "ScriptedColorPortal.h"
#include "ScriptedDesktopPixels.h"
#include "ScriptedSaveDialog.h"
#include "platform/ClassicSystemColors.h"
#include "platform/Platform.h"

struct TestPlatform {
    RecordingMessageBoxes boxes;
    ClassicSystemColors colors;
    ScriptedColorChooser chooser;
    ScriptedSaveDialog saveDialog;
    RecordingFileOutput files;
    ScriptedDesktopPixels desktop;
    ScriptedColorPortal portal;
    // Live sampling, whatever session the tests run in.
    Platform platform{boxes, colors,  chooser, saveDialog,
                      files, desktop, &portal, PickerMode::Live};

    // The doubles with a real service in place of one of them.
    Platform with(DesktopPixels& realDesktop)
    {
        return {boxes, colors, chooser, saveDialog, files, realDesktop, &portal, PickerMode::Live};
    }
    Platform with(FileOutput& realFiles)
    {
        return {boxes, colors, chooser, saveDialog, realFiles, desktop, &portal, PickerMode::Live};
    }
    // The picker through this portal.
    Platform with(ColorPortal& realPortal)
    {
        return {boxes, colors,  chooser,     saveDialog,
                files, desktop, &realPortal, PickerMode::Portal};
    }
};
