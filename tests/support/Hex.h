#pragma once
// A packed color as failure messages print it: 0x00BBGGRR in six hex digits,
// the way the code writes its color constants.
#include "HSLUtils/HSLUtils.h"

#include <cstdio>
#include <optional>
#include <string>

inline std::string hex(HSLUtils::TColor color)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(color));
    return text;
}

// A color that may be missing (a pixel that gave none) prints as "none".
inline std::string hex(std::optional<HSLUtils::TColor> color)
{
    return color ? hex(*color) : std::string("none");
}
