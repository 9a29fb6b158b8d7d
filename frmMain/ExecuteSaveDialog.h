#pragma once
// Runs a save dialog on the window's dialog settings and memory.
#include "frmMain/TSaveTextFileDialog.h"
#include "platform/SaveDialog.h"

// True when the user confirmed a file: dlg.FileName is then its full path.
// dlg.EncodingIndex takes the list's last selection either way.
inline bool ExecuteSaveDialog(SaveDialog& dialog, TSaveTextFileDialog& dlg)
{
    const SaveDialog::Settings settings{dlg.Title, dlg.Filter, dlg.DefaultExt, dlg.Encodings};
    SaveDialog::Memory memory{dlg.FileName, dlg.EncodingIndex};
    const bool confirmed = dialog.Execute(settings, memory);
    dlg.FileName = memory.FileName;
    dlg.EncodingIndex = memory.EncodingIndex;
    return confirmed;
}
