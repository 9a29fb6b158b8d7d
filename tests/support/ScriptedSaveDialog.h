#pragma once
// A save dialog that plays the user's part from a script: it confirms a given
// path or cancels, picks a given encoding, and records what it was opened with.
#include "platform/SaveDialog.h"

#include <QString>
#include <optional>
#include <vector>

class ScriptedSaveDialog final : public SaveDialog {
public:
    // Each opening confirms `path`, with encoding `encodingIndex` selected.
    void confirm(const QString& path, std::optional<int> encodingIndex = std::nullopt)
    {
        FConfirm = true;
        FPath = path;
        FEncodingIndex = encodingIndex;
    }

    // Each opening is cancelled, with encoding `encodingIndex` selected.
    void cancel(std::optional<int> encodingIndex = std::nullopt)
    {
        FConfirm = false;
        FPath.clear();
        FEncodingIndex = encodingIndex;
    }

    bool Execute(TSaveTextFileDialog& dlg) override
    {
        openings.push_back(dlg);
        if (FEncodingIndex)
            dlg.EncodingIndex = *FEncodingIndex;
        if (!FConfirm)
            return false;
        dlg.FileName = FPath;
        return true;
    }

    // The dialog's fields as each opening found them.
    std::vector<TSaveTextFileDialog> openings;

private:
    bool FConfirm = false;
    QString FPath;
    std::optional<int> FEncodingIndex;
};
