#pragma once
// The desktop's system color table, which negative colors refer to.
#include "HSLUtils/HSLUtils.h"

class SystemColors {
public:
    virtual ~SystemColors() = default;

    // The packed color (0x00BBGGRR) of table entry `index`; 0 (black) for an
    // index the table does not have, as the desktop reports it.
    virtual HSLUtils::TColor GetSysColor(int index) const = 0;
};
