#pragma once
// The color chooser's memory for the life of the window: the color last
// confirmed in it (black at first) and its sixteen custom colors.
#include "HSLUtils/HSLUtils.h"

#include <array>

struct TColorDialog {
    static constexpr HSLUtils::TColor Unset = -1; // a custom slot never set

    HSLUtils::TColor Color = 0;
    std::array<HSLUtils::TColor, 16> CustomColors = [] {
        std::array<HSLUtils::TColor, 16> unset{};
        unset.fill(Unset);
        return unset;
    }();
};
