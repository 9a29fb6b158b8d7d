// The software extended type against the hardware one (x87 long double) on
// edge and random operands, and against hand-built rounding cases.
#include "HSLUtils/Extended80.h"
#include "HSLUtils/NativeExtended.h"
#include "HSLUtils/Wide128.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

using HSLUtils::Extended80;

namespace {

constexpr int Bias = Extended80::Bias;
constexpr std::uint64_t J = Extended80::IntegerBit;

Extended80 bits(int signExp, std::uint64_t sig)
{
    return Extended80::fromBits(static_cast<std::uint16_t>(signExp), sig);
}

std::string show(Extended80 x)
{
    char text[40];
    std::snprintf(text, sizeof text, "%04X:%016" PRIX64, x.signExp(), x.significand());
    return text;
}

std::string showDouble(double x)
{
    char text[64];
    std::snprintf(text, sizeof text, "%a", x);
    return text;
}

// Canonical encodings across the whole range, with extra weight on the
// places where rounding is decided: near one, near the subnormal boundary,
// short significands (exact ties), small integers and halves.
Extended80 randomOperand(std::mt19937_64& rng)
{
    const std::uint64_t r = rng();
    const bool negative = (r & 1) != 0;
    const int sign = negative ? 0x8000 : 0;
    switch ((r >> 1) % 8) {
    case 0: {
        const int exp = static_cast<int>(rng() % 0x7FFF);
        const std::uint64_t sig = exp == 0 ? rng() & ~J : rng() | J;
        return bits(sign | exp, sig);
    }
    case 1:
    case 2:
        return bits(sign | (Bias - 4 + static_cast<int>(rng() % 9)), rng() | J);
    case 3: { // few significant bits
        const std::uint64_t sig = J | ((rng() & rng() & rng()) >> (rng() % 64));
        return bits(sign | (Bias - 70 + static_cast<int>(rng() % 140)), sig);
    }
    case 4:
        return Extended80::fromInt64(static_cast<std::int64_t>(rng() % 2001) - 1000) /
               Extended80(2);
    case 5: { // subnormal, and normal near the boundary
        const int exp = static_cast<int>(rng() % 3);
        return bits(sign | exp, exp == 0 ? rng() >> (rng() % 64) : rng() | J);
    }
    case 6: // near overflow
        return bits(sign | (0x7FFE - static_cast<int>(rng() % 3)), rng() | J);
    default: {
        static const std::vector<Extended80> edgeValues = {
            Extended80(),
            -Extended80(),
            Extended80(1),
            Extended80(-1),
            Extended80::third(),
            Extended80::twoThirds(),
            bits(0x7FFF, J),
            bits(0xFFFF, J),
            bits(0x7FFF, 0xC000000000000001u),
            bits(0xFFFF, 0xC000000000000000u),
            bits(0x7FFF, 0x8000000000000005u), // signalling
            bits(0, 1),
            bits(0, J - 1),
            bits(1, J),
            bits(0x7FFE, ~std::uint64_t{0})};
        return edgeValues[rng() % edgeValues.size()];
    }
    }
}

// A second operand close to the first, for cancellation and near ties.
Extended80 nearOperand(std::mt19937_64& rng, Extended80 a)
{
    const int exp = a.signExp() & 0x7FFF;
    if (exp == 0 || exp >= 0x7FFE)
        return randomOperand(rng);
    const int shifted = exp - 1 + static_cast<int>(rng() % 3);
    const std::uint64_t sig = (a.significand() ^ (rng() >> (rng() % 63 + 1))) | J;
    const int sign = (rng() & 1) != 0 ? 0x8000 : 0;
    return bits(sign | shifted, sig);
}

#if HSLUTILS_NATIVE_EXTENDED

using HSLUtils::NativeExtended;

long double native(Extended80 x)
{
    return NativeExtended::fromBits(x.signExp(), x.significand()).value();
}

Extended80 soft(long double x)
{
    const NativeExtended n(x);
    return Extended80::fromBits(n.signExp(), n.significand());
}

// Same bits, or both NaN with the same bits (NaN selection follows the x87).
::testing::AssertionResult sameBits(const char* what, Extended80 a, Extended80 b, Extended80 result)
{
    const Extended80 expected = soft(what[0] == '+'   ? native(a) + native(b)
                                     : what[0] == '-' ? native(a) - native(b)
                                     : what[0] == '*' ? native(a) * native(b)
                                                      : native(a) / native(b));
    if (result.signExp() == expected.signExp() && result.significand() == expected.significand())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << show(a) << " " << what << " " << show(b) << ": soft "
                                         << show(result) << ", x87 " << show(expected);
}

TEST(Extended80, ArithmeticMatchesX87OnRandomOperands)
{
    std::mt19937_64 rng(20240601);
    for (int i = 0; i < 400000; ++i) {
        const Extended80 a = randomOperand(rng);
        const Extended80 b = (i & 1) != 0 ? nearOperand(rng, a) : randomOperand(rng);
        ASSERT_TRUE(sameBits("+", a, b, a + b));
        ASSERT_TRUE(sameBits("-", a, b, a - b));
        ASSERT_TRUE(sameBits("*", a, b, a * b));
        ASSERT_TRUE(sameBits("/", a, b, a / b));
        const long double x = native(a), y = native(b);
        ASSERT_EQ(a < b, x < y) << show(a) << " < " << show(b);
        ASSERT_EQ(a <= b, x <= y) << show(a) << " <= " << show(b);
        ASSERT_EQ(a == b, x == y) << show(a) << " == " << show(b);
        ASSERT_EQ(a > b, x > y) << show(a) << " > " << show(b);
        ASSERT_EQ(a >= b, x >= y) << show(a) << " >= " << show(b);
    }
}

TEST(Extended80, ToDoubleMatchesX87)
{
    std::mt19937_64 rng(7);
    for (int i = 0; i < 400000; ++i) {
        Extended80 x = randomOperand(rng);
        if (i % 3 == 0) // exponents around the double range and its subnormals
            x = bits((x.signExp() & 0x8000) | (Bias - 1080 + static_cast<int>(rng() % 70)),
                     x.significand() | J);
        else if (i % 3 == 1)
            x = bits((x.signExp() & 0x8000) | (Bias + 1000 + static_cast<int>(rng() % 30)),
                     x.significand() | J);
        const double expected = static_cast<double>(native(x));
        const double result = toDouble(x);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(result), std::bit_cast<std::uint64_t>(expected))
            << show(x) << ": soft " << showDouble(result) << ", x87 " << showDouble(expected);
    }
}

TEST(Extended80, FromDoubleAndIntegerMatchX87)
{
    std::mt19937_64 rng(11);
    for (int i = 0; i < 200000; ++i) {
        std::uint64_t r = rng();
        if (i % 4 == 0)
            r &= 0x800FFFFFFFFFFFFFu; // subnormals and zeros
        else if (i % 4 == 1)
            r |= 0x7FF0000000000000u; // infinities and NaNs
        const double d = std::bit_cast<double>(r);
        const Extended80 x(d);
        const Extended80 expected = soft(static_cast<long double>(d));
        ASSERT_EQ(show(x), show(expected)) << showDouble(d);

        const auto n = static_cast<std::int64_t>(rng() >> (rng() % 64));
        const std::int64_t m = (i & 1) != 0 ? -n : n;
        ASSERT_EQ(show(Extended80::fromInt64(m)), show(soft(static_cast<long double>(m)))) << m;
    }
    ASSERT_EQ(show(Extended80::fromInt64(INT64_MIN)),
              show(soft(static_cast<long double>(INT64_MIN))));
}

TEST(Extended80, RoundHalfEvenMatchesNativeRounding)
{
    std::mt19937_64 rng(13);
    for (int i = 0; i < 400000; ++i) {
        Extended80 x = randomOperand(rng);
        if (i % 2 == 0) // magnitudes up to and past 2^63
            x = bits((x.signExp() & 0x8000) | (Bias - 2 + static_cast<int>(rng() % 67)),
                     x.significand() | J);
        ASSERT_EQ(roundHalfEven(x), roundHalfEven(NativeExtended(native(x)))) << show(x);
    }
}

TEST(Extended80, ConstantsAreTheNearestToOneAndTwoThirds)
{
    volatile long double one = 1, two = 2, three = 3; // computed at run time, in the x87
    EXPECT_EQ(show(Extended80::third()), show(soft(one / three)));
    EXPECT_EQ(show(Extended80::twoThirds()), show(soft(two / three)));
    EXPECT_EQ(show(Extended80::third()), show(soft(NativeExtended::third().value())));
    EXPECT_EQ(show(Extended80::twoThirds()), show(soft(NativeExtended::twoThirds().value())));
}

#endif // HSLUTILS_NATIVE_EXTENDED

// The cases below have their answers worked out by hand, so they hold on
// machines without the x87 too.

struct ArithmeticRow {
    const char* Name;
    char Op;
    Extended80 A;
    Extended80 B;
    Extended80 Expected;
};

Extended80 apply(char op, Extended80 a, Extended80 b)
{
    switch (op) {
    case '+':
        return a + b;
    case '-':
        return a - b;
    case '*':
        return a * b;
    default:
        return a / b;
    }
}

TEST(Extended80, RoundsTiesToEvenAtTheLastSignificandBit)
{
    const Extended80 one(1);
    const Extended80 halfUlp = bits(Bias - 64, J); // 2^-64: half a unit of 1.0
    const ArithmeticRow rows[] = {
        {"1 + half ulp stays even", '+', one, halfUlp, one},
        {"odd + half ulp rounds up", '+', bits(Bias, J | 1), halfUlp, bits(Bias, J | 2)},
        {"even + half ulp stays", '+', bits(Bias, J | 2), halfUlp, bits(Bias, J | 2)},
        {"odd + just over half", '+', bits(Bias, J | 2), bits(Bias - 64, J | 1), bits(Bias, J | 3)},
        {"carry out of the significand", '+', bits(Bias, ~std::uint64_t{0}), halfUlp,
         Extended80(2)},
        // (1 + 2^-63) * 1.5 = 1.5 + 2^-63 + 2^-64: a tie between an odd and an even.
        {"product tie to even", '*', bits(Bias, J | 1), bits(Bias, J | (J >> 1)),
         bits(Bias, J | (J >> 1) | 2)},
        {"max + half ulp overflows", '+', bits(0x7FFE, ~std::uint64_t{0}), bits(0x7FFE - 64, J),
         bits(0x7FFF, J)},
    };
    for (const ArithmeticRow& row : rows)
        EXPECT_EQ(show(apply(row.Op, row.A, row.B)), show(row.Expected)) << row.Name;
}

TEST(Extended80, SubtractionCancelsExactly)
{
    const ArithmeticRow rows[] = {
        {"x - x is +0", '-', Extended80::third(), Extended80::third(), Extended80()},
        {"-x + x is +0", '+', -Extended80::third(), Extended80::third(), Extended80()},
        {"-0 - +0 is -0", '-', -Extended80(), Extended80(), -Extended80()},
        {"(1 + 2^-63) - 1", '-', bits(Bias, J | 1), Extended80(1), bits(Bias - 63, J)},
        {"1 - (1 - 2^-64)", '-', Extended80(1), bits(Bias - 1, ~std::uint64_t{0}),
         bits(Bias - 64, J)},
        {"2 - (2 - 2^-63) across binades", '-', Extended80(2), bits(Bias, ~std::uint64_t{0}),
         bits(Bias - 63, J)},
        {"smallest normal - its successor", '-', bits(1, J), bits(1, J | 1), bits(0x8000, 1)},
        {"1 - (2^-65 + a bit) rounds down, not to 1", '-', Extended80(1), bits(Bias - 65, J | 1),
         bits(Bias - 1, ~std::uint64_t{0})},
        {"1 - 2^-100 rounds back to 1", '-', Extended80(1), bits(Bias - 100, J), Extended80(1)},
        {"1 - 2^-64 - tiny stays below 1", '-', bits(Bias - 1, ~std::uint64_t{0}),
         bits(Bias - 200, J), bits(Bias - 1, ~std::uint64_t{0})},
    };
    for (const ArithmeticRow& row : rows)
        EXPECT_EQ(show(apply(row.Op, row.A, row.B)), show(row.Expected)) << row.Name;
}

// A quotient of two 64-bit significands is never exactly halfway between
// two neighbours, so division has no ties to test.
TEST(Extended80, DividesExactlyAndByZero)
{
    const ArithmeticRow rows[] = {
        {"1 / 3 is the third", '/', Extended80(1), Extended80(3), Extended80::third()},
        {"2 / 3 is twice the third", '/', Extended80(2), Extended80(3), Extended80::twoThirds()},
        {"255 / 255", '/', Extended80(255), Extended80(255), Extended80(1)},
        {"239 / 478 is one half", '/', Extended80(239), Extended80(478),
         Extended80(1) / Extended80(2)},
        {"1 / 0 is +inf", '/', Extended80(1), Extended80(), bits(0x7FFF, J)},
        {"-1 / 0 is -inf", '/', Extended80(-1), Extended80(), bits(0xFFFF, J)},
        {"0 / 0 is the default NaN", '/', Extended80(), Extended80(), Extended80::defaultNaN()},
        {"inf - inf is the default NaN", '-', bits(0x7FFF, J), bits(0x7FFF, J),
         Extended80::defaultNaN()},
        {"inf * 0 is the default NaN", '*', bits(0x7FFF, J), Extended80(),
         Extended80::defaultNaN()},
    };
    for (const ArithmeticRow& row : rows)
        EXPECT_EQ(show(apply(row.Op, row.A, row.B)), show(row.Expected)) << row.Name;
    // The third lies above 1/3: its significand times 3 is 2^65 + 1, not 2^65.
    // (Multiplied back in the format, 3 * third rounds to exactly 1.)
    EXPECT_TRUE(HSLUtils::Wide::mul64To128(Extended80::third().significand(), 3) ==
                (HSLUtils::Wide::U128{2, 1}));
    EXPECT_EQ(Extended80::third() * Extended80(3), Extended80(1));
}

TEST(Extended80, StoresToDoubleRoundingTiesToEven)
{
    const double one = 1, two = 2;
    const double next = std::nextafter(one, two);
    const struct {
        const char* Name;
        Extended80 X;
        double Expected;
    } rows[] = {
        {"1 + 2^-53: tie, stays even", bits(Bias, J | 0x400), one},
        {"1 + 3 * 2^-53: tie, up to even", bits(Bias, J | 0xC00), std::nextafter(next, two)},
        {"1 + 2^-53 + 2^-63: just over the tie", bits(Bias, J | 0x401), next},
        {"1 + 2^-52 - 2^-63: just under a unit", bits(Bias, J | 0x7FF), next},
        {"largest double + half a unit: tie, up to inf", bits(Bias + 1023, ~std::uint64_t{0} << 10),
         std::numeric_limits<double>::infinity()},
        {"smallest subnormal / 2: tie, down to 0", bits(Bias - 1075, J), 0.0},
        {"smallest subnormal * 1.5: tie, up to 2", bits(Bias - 1074, J | (J >> 1)),
         2 * std::numeric_limits<double>::denorm_min()},
        {"below the smallest normal, rounds up into it", bits(Bias - 1023, ~std::uint64_t{0}),
         std::numeric_limits<double>::min()},
        {"-2^-2000 is -0", bits(0x8000 | (Bias - 2000), J), -0.0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(std::bit_cast<std::uint64_t>(toDouble(row.X)),
                  std::bit_cast<std::uint64_t>(row.Expected))
            << row.Name << ": " << showDouble(toDouble(row.X));
}

TEST(Extended80, RoundsToIntegersHalfToEven)
{
    const Extended80 half = Extended80(1) / Extended80(2);
    const struct {
        const char* Name;
        Extended80 X;
        std::int64_t Expected;
    } rows[] = {
        {"0.5", half, 0},
        {"1.5", Extended80(3) * half, 2},
        {"2.5", Extended80(5) * half, 2},
        {"-2.5", Extended80(-5) * half, -2},
        {"8.5", Extended80(17) * half, 8},
        {"127.5", Extended80(255) * half, 128},
        {"119.5", Extended80(239) * half, 120},
        {"just below 0.5", bits(Bias - 2, ~std::uint64_t{0}), 0},
        {"just above 0.5", bits(Bias - 1, J | 1), 1},
        {"2^62 + 0.5", bits(Bias + 62, J | 1), INT64_C(1) << 62},
        {"2^63 - 1", Extended80::fromInt64(INT64_MAX), INT64_MAX},
        {"2^63 - 0.5 rounds out of range", bits(Bias + 62, ~std::uint64_t{0}), INT64_MIN},
        {"-2^63", Extended80::fromInt64(INT64_MIN), INT64_MIN},
        {"2^63", bits(Bias + 63, J), INT64_MIN},
        {"2^99", bits(Bias + 99, J), INT64_MIN},
        {"+inf", bits(0x7FFF, J), INT64_MIN},
        {"NaN", Extended80::defaultNaN(), INT64_MIN},
        {"smallest subnormal", bits(0, 1), 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(roundHalfEven(row.X), row.Expected) << row.Name;
}

TEST(Extended80, ComparesLikeIeee)
{
    const Extended80 nan = Extended80::defaultNaN();
    const Extended80 one(1);
    EXPECT_TRUE(Extended80() == -Extended80());
    EXPECT_FALSE(Extended80() < -Extended80());
    EXPECT_FALSE(nan == nan);
    EXPECT_FALSE(nan < one || nan > one || nan <= one || nan >= one);
    EXPECT_TRUE(nan != nan);
    EXPECT_TRUE(Extended80(-2) < Extended80(-1));
    EXPECT_TRUE(bits(0, 1) < bits(1, J));                 // subnormal below smallest normal
    EXPECT_TRUE(bits(0x8000, 1) > bits(0x8001, J));       // and mirrored for negatives
    EXPECT_TRUE(bits(0, J) == bits(1, J));                // pseudo-denormal: the same value
    EXPECT_TRUE(bits(0xFFFF, J) < Extended80(INT32_MIN)); // -inf below everything
}

TEST(Wide128, PortableFormsMatchTheCompilersOnes)
{
    std::mt19937_64 rng(17);
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t a = rng() >> (rng() % 64), b = rng() >> (rng() % 64);
        ASSERT_TRUE(HSLUtils::Wide::mul64To128Portable(a, b) == HSLUtils::Wide::mul64To128(a, b))
            << a << " * " << b;
        const std::uint64_t d = b == 0 ? 1 : b;
        const std::uint64_t hi = a % d, lo = rng();
        ASSERT_TRUE(HSLUtils::Wide::div128By64Portable(hi, lo, d) ==
                    HSLUtils::Wide::div128By64(hi, lo, d))
            << hi << ":" << lo << " / " << d;
    }
    // The largest quotient and remainder.
    const std::uint64_t max = ~std::uint64_t{0};
    EXPECT_TRUE(HSLUtils::Wide::div128By64Portable(max - 1, max, max) ==
                (HSLUtils::Wide::Division{max, max - 1}));
    EXPECT_TRUE(HSLUtils::Wide::mul64To128Portable(max, max) == (HSLUtils::Wide::U128{max - 1, 1}));
}

} // namespace
