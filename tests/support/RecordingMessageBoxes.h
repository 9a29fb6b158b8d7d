#pragma once
// Message boxes that record what they would show and return at once.
#include "platform/MessageBoxes.h"

#include <QString>
#include <functional>
#include <vector>

class RecordingMessageBoxes final : public MessageBoxes {
public:
    struct Shown {
        Kind kind;
        QString text;
        bool operator==(const Shown&) const = default;
    };

    void show(Kind kind, const QString& text) override
    {
        shown.push_back({kind, text});
        if (whileShown)
            whileShown(kind, text);
    }

    std::vector<Shown> shown;
    // Runs while the box would be open (the user's time in front of it).
    std::function<void(Kind, const QString&)> whileShown;
};
