#pragma once
#include "platform/SaveDialog.h"

// The save dialog as Qt's own (non-native) file dialog, which can take the
// encoding list below its file type box. It replaces an existing file without
// asking, does not check that a typed folder exists, adds the default
// extension to a name typed without one, and takes names of up to 259
// characters. Call KeepNoSettings() at start-up: the dialog would otherwise
// remember folders and views between runs in a settings file.
class QtSaveDialog final : public SaveDialog {
public:
    bool Execute(TSaveTextFileDialog& dlg) override;
};
