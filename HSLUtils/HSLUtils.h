#pragma once
// Packed colors and hue/saturation/luminance.
//
// Every result is exact under one arithmetic: each operation rounded to the
// 80-bit extended format (64-bit significand) to nearest even, each stored
// value rounded to a double, integers rounded half to even. Where long double
// is that format the compiler's arithmetic is used, elsewhere Extended80.
#include <cstdint>

namespace HSLUtils {

// A packed color 0x00BBGGRR (red in the low byte). Negative values are
// system-color references.
using TColor = std::int32_t;

// Saturation and luminance are scaled by HslScale, hue by HslScale - 1, so
// that a scaled hue of 239 is a full turn (red again).
inline constexpr std::int32_t HslScale = 240;

// H, S, L as fractions. H is a fraction of a turn (0 red, 1/3 green, 2/3
// blue) and is wrapped once per channel into [0, 1]; a hue further out, NaNs
// and infinities go through the same steps unchecked. Each channel keeps only
// the low 8 bits of its rounded level (see Extended80::roundHalfEven for the
// levels that do not fit 64 bits). The result has a zero top byte.
TColor HslToColor(double H, double S, double L);

// A scaled triple: H 0 to 239 (240 is accepted, one step past red), S and L
// 0 to HslScale. Values outside those ranges are not clamped.
TColor HslScaledToColor(std::int32_t H, std::int32_t S, std::int32_t L);

// Reads the three low bytes only. H in [0, 1), S and L in [0, 1]; a gray
// gives H = S = 0.
void ColorToHsl(TColor Color, double& H, double& S, double& L);

// H 0 to 239, S and L 0 to HslScale.
void ColorToHslScaled(TColor Color, std::int32_t& H, std::int32_t& S, std::int32_t& L);

} // namespace HSLUtils
