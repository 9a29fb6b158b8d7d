#pragma once
// A color chooser that confirms the color it is given, or cancels, and
// records what each opening started from.
#include "platform/ColorChooser.h"

#include <optional>
#include <vector>

class ScriptedColorChooser final : public ColorChooser {
public:
    bool choose(HSLUtils::TColor& color, CustomColors& customColors) override
    {
        openedWith.push_back(color);
        if (!answer)
            return false;
        color = *answer;
        if (customSlot)
            customColors[customSlot->first] = customSlot->second;
        return true;
    }

    std::optional<HSLUtils::TColor> answer;                     // nullopt: the user cancels
    std::optional<std::pair<int, HSLUtils::TColor>> customSlot; // a custom color the user sets
    std::vector<HSLUtils::TColor> openedWith;
};
