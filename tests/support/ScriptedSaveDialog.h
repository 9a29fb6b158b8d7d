#pragma once
// A save dialog that plays the user's part from a script: it confirms a given
// path or cancels, picks a given encoding, and records what it was opened with.
#include "platform/SaveDialog.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class ScriptedSaveDialog final : public SaveDialog {
public:
    struct Opening {
        Settings settings;
        Memory memory; // as the dialog opened
    };

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

    bool Execute(const Settings& settings, Memory& memory) override
    {
        openings.push_back({settings, memory});
        if (whileOpen)
            whileOpen();
        if (FEncodingIndex)
            memory.EncodingIndex = *FEncodingIndex;
        if (!FConfirm)
            return false;
        memory.FileName = FPath;
        return true;
    }

    std::vector<Opening> openings;
    // Runs while the dialog would be open (the user's time in front of it).
    std::function<void()> whileOpen;

private:
    bool FConfirm = false;
    QString FPath;
    std::optional<int> FEncodingIndex;
};
