#pragma once
// The standard color chooser.
#include "HSLUtils/HSLUtils.h"

#include <array>

class ColorChooser {
public:
    using CustomColors = std::array<HSLUtils::TColor, 16>;

    virtual ~ColorChooser() = default;

    // Opens the chooser modally on `color` with the sixteen custom colors (-1
    // for a slot never set). When the user confirms, the chosen color and the
    // custom colors are written back and the result is true; a cancel changes
    // nothing and gives false.
    virtual bool choose(HSLUtils::TColor& color, CustomColors& customColors) = 0;
};
