#pragma once
#include "platform/ColorChooser.h"

// Qt's color dialog. Its custom colors are the dialog's own, shared by the
// process; they are loaded from and saved to the window's memory around each
// opening.
class QtColorChooser final : public ColorChooser {
public:
    bool choose(HSLUtils::TColor& color, CustomColors& customColors) override;
};
