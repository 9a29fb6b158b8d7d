#pragma once
// The modal dialog that asks where to save a file, with an added list of
// encodings to choose from.
#include "platform/TSaveTextFileDialog.h"

class SaveDialog {
public:
    virtual ~SaveDialog() = default;

    // Runs the dialog, opening on dlg.FileName with dlg.EncodingIndex
    // selected, and returns true when the user confirms a file. A confirmed
    // file's full path becomes dlg.FileName; the list's last selection becomes
    // dlg.EncodingIndex whether the dialog was confirmed or not. The other
    // fields are only read.
    virtual bool Execute(TSaveTextFileDialog& dlg) = 0;
};
