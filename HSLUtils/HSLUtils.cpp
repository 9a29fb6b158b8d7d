#include "HSLUtils/HSLUtils.h"

#include "HSLUtils/HslAlgorithms.h"

namespace HSLUtils {

namespace Algorithms {
HSLUTILS_DECLARE_ALGORITHMS(, Extended80)
#if HSLUTILS_NATIVE_EXTENDED
HSLUTILS_DECLARE_ALGORITHMS(, NativeExtended)
#endif
} // namespace Algorithms

TColor HslToColor(double H, double S, double L)
{
    return Algorithms::HslToColor<Algorithms::Extended>(H, S, L);
}

TColor HslScaledToColor(std::int32_t H, std::int32_t S, std::int32_t L)
{
    return Algorithms::HslScaledToColor<Algorithms::Extended>(H, S, L);
}

void ColorToHsl(TColor Color, double& H, double& S, double& L)
{
    Algorithms::ColorToHsl<Algorithms::Extended>(Color, H, S, L);
}

void ColorToHslScaled(TColor Color, std::int32_t& H, std::int32_t& S, std::int32_t& L)
{
    Algorithms::ColorToHslScaled<Algorithms::Extended>(Color, H, S, L);
}

} // namespace HSLUtils
