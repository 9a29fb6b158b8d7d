#pragma once
// The conversions written once over the extended arithmetic, which is either
// NativeExtended or Extended80 (same interface: construction from int32 and
// double, + - * /, <, third() and twoThirds(), and the free functions
// toDouble and roundHalfEven). Every toDouble below is a value that the
// conversion stores as a double.
#include "HSLUtils/Extended80.h"
#include "HSLUtils/HSLUtils.h"
#include "HSLUtils/NativeExtended.h"

#include <cstdint>

namespace HSLUtils::Algorithms {

// The two levels of one HslToColor call, which every channel reads.
struct Levels {
    double M1;
    double M2;
};

inline TColor PackChannels(std::int64_t red, std::int64_t green, std::int64_t blue)
{
    // Only the low 8 bits of each channel count, whatever its range.
    return static_cast<TColor>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}

// One channel of HslToColor from its hue h (a fraction of a turn).
template <class Real> std::int64_t HueToChannel(double h, Levels levels)
{
    // A single wrap: a hue still outside [0, 1] goes through as it is.
    if (h < 0)
        h = toDouble(Real(h) + Real(1));
    else if (h > 1)
        h = toDouble(Real(h) - Real(1));
    const Real hue(h);
    const Real m1(levels.M1);
    const Real m2(levels.M2);
    double v = levels.M1; // past the falling edge
    // 6h, 2h and 3h are exact in extended, not always in double.
    if (Real(6) * hue < Real(1))
        v = toDouble(((m2 - m1) * hue) * Real(6) + m1); // rising edge
    else if (Real(2) * hue < Real(1))
        v = levels.M2; // plateau
    else if (Real(3) * hue < Real(2))
        v = toDouble(((m2 - m1) * (Real::twoThirds() - hue)) * Real(6) + m1); // falling edge
    return roundHalfEven(Real(255) * Real(v));
}

template <class Real> TColor HslToColor(double H, double S, double L)
{
    if (S == 0) {
        const std::int64_t gray = roundHalfEven(Real(255) * Real(L));
        return PackChannels(gray, gray, gray);
    }
    const Real s(S);
    const Real l(L);
    Levels levels{};
    levels.M2 = toDouble(L <= 0.5 ? (Real(1) + s) * l : (l + s) - (l * s));
    levels.M1 = toDouble(Real(2) * l - Real(levels.M2));
    const double redHue = toDouble(Real(H) + Real::third());
    const double blueHue = toDouble(Real(H) - Real::third());
    const std::int64_t red = HueToChannel<Real>(redHue, levels);
    const std::int64_t green = HueToChannel<Real>(H, levels);
    const std::int64_t blue = HueToChannel<Real>(blueHue, levels);
    return PackChannels(red, green, blue);
}

template <class Real> TColor HslScaledToColor(std::int32_t H, std::int32_t S, std::int32_t L)
{
    const double h = toDouble(Real(H) / Real(HslScale - 1));
    const double s = toDouble(Real(S) / Real(HslScale));
    const double l = toDouble(Real(L) / Real(HslScale));
    return HslToColor<Real>(h, s, l);
}

template <class Real> void ColorToHsl(TColor Color, double& H, double& S, double& L)
{
    const double r = toDouble(Real(Color & 0xFF) / Real(255));
    const double g = toDouble(Real((Color >> 8) & 0xFF) / Real(255));
    const double b = toDouble(Real((Color >> 16) & 0xFF) / Real(255));
    const double max = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const double min = r < g ? (r < b ? r : b) : (g < b ? g : b);
    const Real sum = Real(max) + Real(min);
    L = toDouble(sum / Real(2));
    if (max == min) { // a gray
        H = 0;
        S = 0;
        return;
    }
    const double d = toDouble(Real(max) - Real(min));
    // Both forms agree at L = 0.5; the second one takes it.
    S = toDouble(L < 0.5 ? Real(d) / sum : Real(d) / ((Real(2) - Real(max)) - Real(min)));
    // The first channel equal to max decides, in the order red, green, blue:
    // yellow takes the red form, cyan the green one, magenta the red one.
    double hue = 0;
    if (r == max)
        hue = toDouble((Real(g) - Real(b)) / Real(d));
    else if (g == max)
        hue = toDouble((Real(b) - Real(r)) / Real(d) + Real(2));
    else
        hue = toDouble((Real(r) - Real(g)) / Real(d) + Real(4));
    hue = toDouble(Real(hue) / Real(6));
    if (hue < 0)
        hue = toDouble(Real(hue) + Real(1));
    H = hue;
}

// The rounding step of ColorToHslScaled, from the stored fractions.
template <class Real>
void ScaleHsl(double h, double s, double l, std::int32_t& H, std::int32_t& S, std::int32_t& L)
{
    // The fractions lie in [0, 1], so each rounded value fits easily.
    H = static_cast<std::int32_t>(roundHalfEven(Real(HslScale - 1) * Real(h)));
    S = static_cast<std::int32_t>(roundHalfEven(Real(HslScale) * Real(s)));
    L = static_cast<std::int32_t>(roundHalfEven(Real(HslScale) * Real(l)));
}

template <class Real>
void ColorToHslScaled(TColor Color, std::int32_t& H, std::int32_t& S, std::int32_t& L)
{
    double h = 0, s = 0, l = 0;
    ColorToHsl<Real>(Color, h, s, l);
    ScaleHsl<Real>(h, s, l, H, S, L);
}

} // namespace HSLUtils::Algorithms

namespace HSLUtils::Algorithms {

// Compiled once, in the library, for each arithmetic.
#define HSLUTILS_DECLARE_ALGORITHMS(PREFIX, REAL)                                                  \
    PREFIX template TColor HslToColor<REAL>(double, double, double);                               \
    PREFIX template TColor HslScaledToColor<REAL>(std::int32_t, std::int32_t, std::int32_t);       \
    PREFIX template void ColorToHsl<REAL>(TColor, double&, double&, double&);                      \
    PREFIX template void ColorToHslScaled<REAL>(TColor, std::int32_t&, std::int32_t&,              \
                                                std::int32_t&);

HSLUTILS_DECLARE_ALGORITHMS(extern, Extended80)
#if HSLUTILS_NATIVE_EXTENDED
HSLUTILS_DECLARE_ALGORITHMS(extern, NativeExtended)
#endif

// The arithmetic behind the public functions.
#if HSLUTILS_NATIVE_EXTENDED
using Extended = NativeExtended;
#else
using Extended = Extended80;
#endif

} // namespace HSLUtils::Algorithms
