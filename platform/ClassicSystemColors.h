#pragma once
#include "platform/SystemColors.h"

// The classic desktop scheme's fixed table (entries 0 to 30: scroll bar,
// desktop, captions, menus, window, button faces, tips, menu bar). The program
// runs where no such table exists, so a negative color resolves to the colors
// its users knew from the classic desktop instead of to whatever the current
// Qt style would suggest.
class ClassicSystemColors final : public SystemColors {
public:
    HSLUtils::TColor GetSysColor(int index) const override;
};
