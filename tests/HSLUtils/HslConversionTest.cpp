// Named cases of the HSL conversions, grouped by family, through the public
// functions (the hardware arithmetic on x87 machines) and through the
// software arithmetic.
#include "HSLUtils/HSLUtils.h"
#include "HSLUtils/HslAlgorithms.h"
#include "Hex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace HSLUtils;

namespace {

struct Triple {
    std::int32_t H, S, L;
    friend bool operator==(const Triple&, const Triple&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Triple& t)
    {
        return os << "(" << t.H << ", " << t.S << ", " << t.L << ")";
    }
};

// The same conversions over one arithmetic.
struct Arithmetic {
    const char* Name;
    TColor (*ToColor)(double, double, double);
    TColor (*ScaledToColor)(std::int32_t, std::int32_t, std::int32_t);
    void (*ToHsl)(TColor, double&, double&, double&);
    void (*ToScaled)(TColor, std::int32_t&, std::int32_t&, std::int32_t&);

    Triple scaled(TColor color) const
    {
        Triple t{};
        ToScaled(color, t.H, t.S, t.L);
        return t;
    }
};

template <class Real> constexpr Arithmetic arithmeticOf(const char* name)
{
    return {name, Algorithms::HslToColor<Real>, Algorithms::HslScaledToColor<Real>,
            Algorithms::ColorToHsl<Real>, Algorithms::ColorToHslScaled<Real>};
}

const Arithmetic Public{"public", HslToColor, HslScaledToColor, ColorToHsl, ColorToHslScaled};
const Arithmetic Software = arithmeticOf<Extended80>("software");
const Arithmetic Both[] = {Public, Software};

// Everything in doubles, rounding like the extended model otherwise: the
// implementation that the tables below must be able to tell apart.
class DoubleOnly {
public:
    explicit DoubleOnly(std::int32_t n) : FValue(n) {}
    explicit DoubleOnly(double x) : FValue(x) {}
    static DoubleOnly third() { return DoubleOnly(1.0 / 3); }
    static DoubleOnly twoThirds() { return DoubleOnly(2.0 / 3); }
    friend double toDouble(DoubleOnly x) { return x.FValue; }
    friend std::int64_t roundHalfEven(DoubleOnly x) { return std::llrint(x.FValue); }
    friend DoubleOnly operator+(DoubleOnly a, DoubleOnly b)
    {
        return DoubleOnly(a.FValue + b.FValue);
    }
    friend DoubleOnly operator-(DoubleOnly a, DoubleOnly b)
    {
        return DoubleOnly(a.FValue - b.FValue);
    }
    friend DoubleOnly operator*(DoubleOnly a, DoubleOnly b)
    {
        return DoubleOnly(a.FValue * b.FValue);
    }
    friend DoubleOnly operator/(DoubleOnly a, DoubleOnly b)
    {
        return DoubleOnly(a.FValue / b.FValue);
    }
    friend bool operator<(DoubleOnly a, DoubleOnly b) { return a.FValue < b.FValue; }

private:
    double FValue;
};
const Arithmetic DoublesOnly = arithmeticOf<DoubleOnly>("doubles only");

struct ColorRow {
    const char* Name;
    TColor Color;
    Triple Expected;
};

const ColorRow ColorRows[] = {
    // primaries and secondaries; the first channel equal to the maximum decides
    {"primary red", 0x0000FF, {0, 240, 120}},
    {"primary green: 239/3 = 79.67", 0x00FF00, {80, 240, 120}},
    {"primary blue", 0xFF0000, {159, 240, 120}},
    {"yellow takes the red form", 0x00FFFF, {40, 240, 120}},
    {"cyan: 119.5 rounds to even 120", 0xFFFF00, {120, 240, 120}},
    {"magenta: -1/6 wraps to 5/6", 0xFF00FF, {199, 240, 120}},
    {"orange", 0x0080FF, {20, 240, 120}},
    {"dark blue", 0x800000, {159, 240, 60}},
    // gray axis
    {"white", 0xFFFFFF, {0, 0, 240}},
    {"black", 0x000000, {0, 0, 0}},
    {"gray 128, L just over one half", 0x808080, {0, 0, 120}},
    {"gray 127, L just under one half", 0x7F7F7F, {0, 0, 120}},
    {"silver", 0xC0C0C0, {0, 0, 181}},
    // hues k/478 land next to a half step; the stored hue decides
    {"hue 1/478 minus a rounding error", 0x1013FF, {0, 240, 128}},
    {"hue 3/478 stored just below", 0x0009EF, {1, 240, 112}},
    {"hue 9/478 stored just above", 0x001BEF, {5, 240, 112}},
    // only the three low bytes count
    {"top byte ignored", 0x010000FF, {0, 240, 120}},
    {"invalid pixel value reads as white", -1, {0, 0, 240}},
};

TEST(ColorToHslScaled, NamedColors)
{
    for (const Arithmetic& a : Both)
        for (const ColorRow& row : ColorRows)
            EXPECT_EQ(a.scaled(row.Color), row.Expected)
                << row.Name << " " << hex(row.Color) << " (" << a.Name << ")";
}

// Where the row's hue sits against the half step it rounds from: checked
// exactly, since 478 * H is exact in the extended format.
TEST(ColorToHsl, StoredHueSidesOfTheHalfSteps)
{
    const struct {
        TColor Color;
        std::int32_t Steps; // H is near Steps/478
        bool Below;
    } rows[] = {{0x1013FF, 1, true}, {0x0009EF, 3, true}, {0x001BEF, 9, false}};
    for (const Arithmetic& a : Both)
        for (const auto& row : rows) {
            double h = 0, s = 0, l = 0;
            a.ToHsl(row.Color, h, s, l);
            const Extended80 scaled = Extended80(478) * Extended80(h);
            const Extended80 half(row.Steps);
            EXPECT_EQ(scaled < half, row.Below) << hex(row.Color) << " (" << a.Name << ")";
            EXPECT_NE(scaled, half) << hex(row.Color);
        }
}

TEST(ColorToHsl, ExactFractions)
{
    const struct {
        const char* Name;
        TColor Color;
        double H, S, L;
    } rows[] = {
        {"red", 0x0000FF, 0, 1, 0.5},          {"cyan", 0xFFFF00, 0.5, 1, 0.5},
        {"white", 0xFFFFFF, 0, 0, 1},          {"black", 0x000000, 0, 0, 0},
        {"yellow", 0x00FFFF, 1.0 / 6, 1, 0.5}, {"magenta", 0xFF00FF, 5.0 / 6, 1, 0.5},
    };
    for (const Arithmetic& a : Both)
        for (const auto& row : rows) {
            double h = -1, s = -1, l = -1;
            a.ToHsl(row.Color, h, s, l);
            EXPECT_EQ(h, row.H) << row.Name << " (" << a.Name << ")";
            EXPECT_EQ(s, row.S) << row.Name << " (" << a.Name << ")";
            EXPECT_EQ(l, row.L) << row.Name << " (" << a.Name << ")";
        }
    // The two grays on either side of the middle.
    double h = 0, s = 0, l = 0;
    ColorToHsl(0x808080, h, s, l);
    EXPECT_GT(l, 0.5);
    ColorToHsl(0x7F7F7F, h, s, l);
    EXPECT_LT(l, 0.5);
}

struct TripleRow {
    const char* Name;
    Triple Hsl;
    TColor Expected;
};

const TripleRow TripleRows[] = {
    // primaries: 239 is not divisible by 3, green and blue fall between steps
    {"red", {0, 240, 120}, 0x0000FF},
    {"green step 80", {80, 240, 120}, 0x02FF00},
    {"blue step 159", {159, 240, 120}, 0xFF0200},
    {"yellow step 40", {40, 240, 120}, 0x00FFFE},
    {"cyan step 120", {120, 240, 120}, 0xFFFC00},
    {"magenta step 199", {199, 240, 120}, 0xFF00FE},
    {"orange", {20, 240, 120}, 0x0080FF},
    {"half saturated red", {0, 120, 120}, 0x4040BF},
    {"dark red", {0, 240, 60}, 0x000080},
    {"dark blue", {159, 240, 60}, 0x800100},
    // hue wrap: 239 is a full turn, 240 one step past it
    {"hue 239 is red again", {239, 240, 120}, 0x0000FF},
    {"hue 240 wraps just past red", {240, 240, 120}, 0x0006FF},
    // at a full turn the blue hue 1 - third is stored just below 2/3, so blue
    // sits a hair up the falling edge (a double 1/3 would leave it at m1)
    {"hue 239, blue just up the falling edge", {239, 48, 90}, 0x4D4C73},
    // luminance ends
    {"black although saturated", {0, 240, 0}, 0x000000},
    {"white although saturated", {0, 240, 240}, 0xFFFFFF},
    // gray axis: S = 0 ignores H
    {"gray 127.5 rounds to even 128", {100, 0, 120}, 0x808080},
    // m2 is rounded to a double before m1 = 2L - m2 is formed; from the
    // unrounded level green and blue would come out one lower
    {"stored m2, light", {0, 48, 110}, 0x5E5E8C},
    {"stored m2, dark", {0, 80, 12}, 0x090911},
};

TEST(HslScaledToColor, NamedTriples)
{
    for (const Arithmetic& a : Both)
        for (const TripleRow& row : TripleRows)
            EXPECT_EQ(hex(a.ScaledToColor(row.Hsl.H, row.Hsl.S, row.Hsl.L)), hex(row.Expected))
                << row.Name << " " << row.Hsl << " (" << a.Name << ")";
}

// 255 * L / 240 ends in one half for these L; which way each one goes
// follows the double rounding of L / 240 and the extended product.
const struct {
    std::int32_t L;
    std::int32_t Level;
} GrayHalves[] = {{8, 8},     {24, 26},   {40, 42},   {56, 60},   {72, 76},
                  {88, 93},   {104, 111}, {120, 128}, {136, 144}, {152, 161},
                  {168, 178}, {184, 196}, {200, 213}, {216, 230}, {232, 247}};

TEST(HslScaledToColor, GrayLevelsOnHalves)
{
    for (const Arithmetic& a : Both)
        for (const auto& row : GrayHalves) {
            const TColor expected = row.Level * 0x010101;
            EXPECT_EQ(hex(a.ScaledToColor(0, 0, row.L)), hex(expected))
                << "L " << row.L << " (" << a.Name << ")";
        }
}

TEST(HslConversion, RoundTrips)
{
    const struct {
        const char* Name;
        TColor Color;
        TColor Back;
    } rows[] = {
        {"red comes back", 0x0000FF, 0x0000FF},
        {"orange comes back", 0x0080FF, 0x0080FF},
        {"gray 128 comes back", 0x808080, 0x808080},
        {"white comes back", 0xFFFFFF, 0xFFFFFF},
        {"green gains blue 2", 0x00FF00, 0x02FF00},
        {"blue gains green 2", 0xFF0000, 0xFF0200},
        {"yellow loses red 1", 0x00FFFF, 0x00FFFE},
        {"dark blue gains green 1", 0x800000, 0x800100},
    };
    for (const Arithmetic& a : Both)
        for (const auto& row : rows) {
            const Triple t = a.scaled(row.Color);
            EXPECT_EQ(hex(a.ScaledToColor(t.H, t.S, t.L)), hex(row.Back))
                << row.Name << " " << hex(row.Color) << " via " << t << " (" << a.Name << ")";
        }
}

// Arguments are not checked: the steps run on them as they are, and every
// channel keeps the low 8 bits of its level.
TEST(HslToColor, UncheckedArguments)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* Name;
        double H, S, L;
        TColor Expected;
    } rows[] = {
        {"hue 1 is a full turn", 1, 1, 0.5, 0x0000FF},
        {"hue 2.5 is wrapped once only, all channels at m1", 2.5, 1, 0.5, 0x000000},
        {"gray level 510 keeps 0xFE", 0, 0, 2, 0xFEFEFE},
        {"gray level -255 keeps 0x01", 0, 0, -1, 0x010101},
        {"gray of NaN: integer indefinite, low byte 0", 0, 0, nan, 0x000000},
        {"gray of +inf: integer indefinite", 0, 0, inf, 0x000000},
        {"gray level 2^70: integer indefinite", 0, 0, 0x1p70, 0x000000},
        {"NaN hue: every channel at m1", nan, 1, 0.25, 0x000000},
    };
    for (const Arithmetic& a : Both)
        for (const auto& row : rows)
            EXPECT_EQ(hex(a.ToColor(row.H, row.S, row.L)), hex(row.Expected))
                << row.Name << " (" << a.Name << ")";

    // Far outside: both arithmetics agree and the top byte stays clear.
    const double odd[] = {nan, inf, -inf, 1e300, -1e300, 0x1p-1074, -0.0, 0.5, 3, -7.25, 1e17};
    for (double h : odd)
        for (double s : odd)
            for (double l : odd) {
                const TColor color = Public.ToColor(h, s, l);
                EXPECT_EQ(hex(Software.ToColor(h, s, l)), hex(color)) << h << " " << s << " " << l;
                EXPECT_EQ(color & 0xFF000000, 0) << h << " " << s << " " << l;
            }
    const std::int32_t ints[] = {INT32_MIN, -240, -1, 0, 241, 100000, INT32_MAX};
    for (std::int32_t h : ints)
        for (std::int32_t s : ints)
            for (std::int32_t l : ints)
                EXPECT_EQ(hex(Software.ScaledToColor(h, s, l)), hex(Public.ScaledToColor(h, s, l)))
                    << h << " " << s << " " << l;
}

// The tables above are only worth something if an implementation that does
// its arithmetic in doubles fails them. It does, on the rows that depend on
// the extended format: the gray level of L 88, and hue steps that double
// rounding pushes onto an exact half.
TEST(HslConversion, TablesRejectDoublesOnlyArithmetic)
{
    EXPECT_EQ(hex(DoublesOnly.ScaledToColor(0, 0, 88)), hex(94 * 0x010101));

    int failedGray = 0;
    for (const auto& row : GrayHalves)
        failedGray += DoublesOnly.ScaledToColor(0, 0, row.L) != row.Level * 0x010101;
    EXPECT_GE(failedGray, 1);

    int failedColors = 0;
    for (const ColorRow& row : ColorRows)
        failedColors += DoublesOnly.scaled(row.Color) != row.Expected;
    EXPECT_GE(failedColors, 2); // 0x0009EF and 0x001BEF

    // Two triples where only a channel's last rounding differs.
    for (const Triple t : {Triple{0, 16, 180}, Triple{0, 20, 96}}) {
        const TColor extended = Software.ScaledToColor(t.H, t.S, t.L);
        EXPECT_EQ(hex(Public.ScaledToColor(t.H, t.S, t.L)), hex(extended)) << t;
        EXPECT_NE(hex(DoublesOnly.ScaledToColor(t.H, t.S, t.L)), hex(extended)) << t;
    }
}

} // namespace
