#pragma once
// Packed colors and hue/saturation/luminance.
#include <cstdint>

namespace HSLUtils {

// A packed color 0x00BBGGRR (red in the low byte). Negative values are
// system-color references.
using TColor = std::int32_t;

} // namespace HSLUtils
