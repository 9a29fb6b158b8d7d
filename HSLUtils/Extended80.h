#pragma once
// The 80-bit extended real (64-bit significand) in software, for compilers
// whose long double is something else (ARM64: 128-bit, MSVC: double).
#include "HSLUtils/Wide128.h"

#include <bit>
#include <cstdint>

// The fast paths are small and called a dozen times per conversion: inline
// them even where the compiler's heuristics would not.
#if defined(__GNUC__)
#define HSLUTILS_HOT_INLINE [[gnu::always_inline]] inline
#else
#define HSLUTILS_HOT_INLINE inline
#endif

namespace HSLUtils {

// One format, one rounding mode: every result is rounded to nearest with ties
// to even, exactly as the x87 unit does with 64-bit precision control. Results
// match the x87 bit for bit, subnormals and infinities included; a NaN result
// follows the x87 choice of operand (see propagateNaN).
//
// Encoding: sign, 15-bit biased exponent, 64-bit significand with an explicit
// integer bit. Every result is canonical. Operands given by bits that the x87
// would reject (unnormals, pseudo-infinities) are read by their plain value,
// and pseudo-NaNs as NaNs.
class Extended80 {
public:
    static constexpr int Bias = 0x3FFF;
    static constexpr int InfExp = 0x7FFF;
    static constexpr std::uint64_t IntegerBit = std::uint64_t{1} << 63;

    constexpr Extended80() = default; // +0
    constexpr explicit Extended80(std::int32_t n) : Extended80(encodeInt64(n)) {}
    constexpr explicit Extended80(double x) : Extended80(encodeDouble(x)) {}

    static constexpr Extended80 fromInt64(std::int64_t n) { return Extended80(encodeInt64(n)); }
    static constexpr Extended80 fromBits(std::uint16_t signExp, std::uint64_t significand)
    {
        return Extended80(Encoding{signExp, significand});
    }
    // The nearest values to 1/3 and 2/3; both lie just above the fractions.
    static constexpr Extended80 third() { return fromBits(Bias - 2, 0xAAAAAAAAAAAAAAABu); }
    static constexpr Extended80 twoThirds() { return fromBits(Bias - 1, 0xAAAAAAAAAAAAAAABu); }
    // The x87 "real indefinite", the result of an invalid operation.
    static constexpr Extended80 defaultNaN() { return fromBits(0xFFFF, 0xC000000000000000u); }

    constexpr std::uint16_t signExp() const { return FSignExp; }
    constexpr std::uint64_t significand() const { return FSig; }
    constexpr bool isNaN() const { return (FSignExp & InfExp) == InfExp && (FSig << 1) != 0; }

    // Free functions taking copies, like the operators, rather than members
    // called on temporaries: the sanitizer build gives every temporary whose
    // address is taken a poisoned stack slot. Found by argument-dependent lookup.
    //
    // Rounded to nearest, ties to even, once (also into the subnormal doubles).
    HSLUTILS_HOT_INLINE friend double toDouble(Extended80 x) { return toDoubleOf(x); }
    // Round half to even. NaN, infinities and values outside the 64-bit range
    // give INT64_MIN, the x87 "integer indefinite" that FISTP stores.
    HSLUTILS_HOT_INLINE friend std::int64_t roundHalfEven(Extended80 x)
    {
        return roundHalfEvenOf(x);
    }

    HSLUTILS_HOT_INLINE friend Extended80 operator+(Extended80 a, Extended80 b)
    {
        return bothNormal(a, b) ? addNormal(a, b, false) : add(a, b, false);
    }
    HSLUTILS_HOT_INLINE friend Extended80 operator-(Extended80 a, Extended80 b)
    {
        return bothNormal(a, b) ? addNormal(a, b, true) : add(a, b, true);
    }
    HSLUTILS_HOT_INLINE friend Extended80 operator*(Extended80 a, Extended80 b)
    {
        return bothNormal(a, b) ? multiplyNormal(unpackNormal(a), unpackNormal(b)) : multiply(a, b);
    }
    HSLUTILS_HOT_INLINE friend Extended80 operator/(Extended80 a, Extended80 b)
    {
        return bothNormal(a, b) ? divideNormal(unpackNormal(a), unpackNormal(b)) : divide(a, b);
    }
    friend constexpr Extended80 operator-(Extended80 a)
    {
        return fromBits(static_cast<std::uint16_t>(a.FSignExp ^ 0x8000), a.FSig);
    }

    // IEEE comparisons: NaN is unordered, -0 equals +0.
    friend bool operator==(Extended80 a, Extended80 b) { return order(a, b) == Order::Equal; }
    friend bool operator<(Extended80 a, Extended80 b) { return order(a, b) == Order::Less; }
    friend bool operator>(Extended80 a, Extended80 b) { return b < a; }
    friend bool operator<=(Extended80 a, Extended80 b)
    {
        const Order o = order(a, b);
        return o == Order::Less || o == Order::Equal;
    }
    friend bool operator>=(Extended80 a, Extended80 b) { return b <= a; }

private:
    struct Encoding {
        std::uint16_t SignExp;
        std::uint64_t Sig;
    };
    constexpr explicit Extended80(Encoding e) : FSignExp(e.SignExp), FSig(e.Sig) {}
    static constexpr Encoding encodeInt64(std::int64_t n);
    static constexpr Encoding encodeDouble(double x);
    static double toDoubleOf(Extended80 x);
    static std::int64_t roundHalfEvenOf(Extended80 x);

    enum class Kind { Zero, Finite, Inf, NaN };
    enum class Order { Less, Equal, Greater, Unordered };

    // A finite non-zero value is Sig * 2^(Exp - Bias - 63) with the integer
    // bit of Sig set; Exp may be zero or negative for subnormal values.
    struct Parts {
        Kind Type;
        bool Sign;
        std::int32_t Exp;
        std::uint64_t Sig;
    };

    // Normal operands (the integer bit set, the exponent neither 0 nor the
    // maximum) take the short inline paths; everything else the general ones.
    static constexpr bool isNormal(Extended80 x)
    {
        return static_cast<std::uint32_t>((x.FSignExp & InfExp) - 1) < InfExp - 1 &&
               (x.FSig & IntegerBit) != 0;
    }
    static constexpr bool bothNormal(Extended80 a, Extended80 b)
    {
        return isNormal(a) && isNormal(b);
    }
    static constexpr Parts unpackNormal(Extended80 x)
    {
        return {Kind::Finite, (x.FSignExp & 0x8000) != 0, x.FSignExp & InfExp, x.FSig};
    }
    static Parts unpack(Extended80 x);
    static Parts unpackOther(Extended80 x);
    static constexpr Extended80 pack(bool sign, std::int32_t exp, std::uint64_t sig)
    {
        return fromBits(static_cast<std::uint16_t>((sign ? 0x8000 : 0) | exp), sig);
    }
    static constexpr Extended80 zero(bool sign) { return pack(sign, 0, 0); }
    static constexpr Extended80 infinity(bool sign) { return pack(sign, InfExp, IntegerBit); }

    static Extended80 roundPack(bool sign, std::int32_t exp, std::uint64_t sig,
                                std::uint64_t extra);
    static Extended80 roundPackOutOfRange(bool sign, std::int32_t exp, std::uint64_t sig,
                                          std::uint64_t extra);
    static Extended80 normRoundPack(bool sign, std::int32_t exp, std::uint64_t sig,
                                    std::uint64_t extra);
    static Extended80 propagateNaN(Extended80 a, Extended80 b);

    HSLUTILS_HOT_INLINE static Extended80 addNormal(Extended80 a, Extended80 b, bool negateB)
    {
        Parts pa = unpackNormal(a);
        Parts pb = unpackNormal(b);
        pb.Sign = pb.Sign != negateB;
        return pa.Sign == pb.Sign ? addMagnitudes(pa.Sign, pa, pb)
                                  : subtractMagnitudes(pa.Sign, pa, pb);
    }
    static Wide::U128 align(Parts x, std::int32_t exp);
    static Extended80 addMagnitudes(bool sign, Parts a, Parts b);
    static Extended80 subtractMagnitudes(bool sign, Parts a, Parts b);
    static Extended80 multiplyNormal(Parts a, Parts b);
    static Extended80 divideNormal(Parts a, Parts b);
    static constexpr Order compareNormal(Extended80 a, Extended80 b);
    HSLUTILS_HOT_INLINE static Order order(Extended80 a, Extended80 b)
    {
        return bothNormal(a, b) ? compareNormal(a, b) : compare(a, b);
    }

    // The general paths (zeros, subnormals, infinities, NaNs), out of line.
    static Extended80 add(Extended80 a, Extended80 b, bool negateB);
    static Extended80 multiply(Extended80 a, Extended80 b);
    static Extended80 divide(Extended80 a, Extended80 b);
    static Order compare(Extended80 a, Extended80 b);

    std::uint16_t FSignExp = 0;
    std::uint64_t FSig = 0;
};

namespace Extended80Detail {

// sig:extra shifted right by dist >= 1 as one 128-bit value; what falls off
// the end is kept as a sticky low bit of extra. The 64 bits of extra are more
// than rounding needs, but a subtraction may still shift the result back left
// by one, and then the bit below the top of extra decides.
// Returns the shifted pair as Hi = sig, Lo = extra.
constexpr Wide::U128 shiftRightJam(std::uint64_t sig, std::uint64_t extra, std::int32_t dist)
{
    const std::uint64_t sticky = extra != 0 ? 1 : 0;
    if (dist < 64)
        return {sig >> dist, (sig << (64 - dist)) | sticky};
    if (dist == 64)
        return {0, sig | sticky};
    if (dist < 128)
        return {0, (sig >> (dist - 64)) | ((sig << (128 - dist)) != 0 ? 1 : 0) | sticky};
    return {0, static_cast<std::uint64_t>((sig | extra) != 0)};
}

// Nearest even: the top bit of extra is the half, the rest the sticky part.
constexpr bool roundsUp(std::uint64_t sig, std::uint64_t extra)
{
    return extra > Extended80::IntegerBit || (extra == Extended80::IntegerBit && (sig & 1) != 0);
}

// Rounds a shifted pair to its integer part, to nearest even.
constexpr std::uint64_t roundShifted(Wide::U128 shifted)
{
    return shifted.Hi + (roundsUp(shifted.Hi, shifted.Lo) ? 1 : 0);
}

} // namespace Extended80Detail

HSLUTILS_HOT_INLINE Extended80::Parts Extended80::unpack(Extended80 x)
{
    return isNormal(x) ? unpackNormal(x) : unpackOther(x);
}

HSLUTILS_HOT_INLINE Extended80 Extended80::roundPack(bool sign, std::int32_t exp, std::uint64_t sig,
                                                     std::uint64_t extra)
{
    if (static_cast<std::uint32_t>(exp - 1) >= InfExp - 1)
        return roundPackOutOfRange(sign, exp, sig, extra);
    if (Extended80Detail::roundsUp(sig, extra)) {
        ++sig;
        if (sig == 0) { // 2^64: one more binade
            sig = IntegerBit;
            if (++exp == InfExp)
                return infinity(sign);
        }
    }
    return pack(sign, exp, sig);
}

HSLUTILS_HOT_INLINE Extended80 Extended80::normRoundPack(bool sign, std::int32_t exp,
                                                         std::uint64_t sig, std::uint64_t extra)
{
    if (sig == 0) {
        sig = extra;
        extra = 0;
        exp -= 64;
        if (sig == 0)
            return zero(false); // an exact cancellation is +0 when rounding to nearest
    }
    const int shift = std::countl_zero(sig);
    if (shift != 0) {
        sig = (sig << shift) | (extra >> (64 - shift));
        extra <<= shift;
        exp -= shift;
    }
    return roundPack(sign, exp, sig, extra);
}

constexpr Extended80::Encoding Extended80::encodeInt64(std::int64_t n)
{
    if (n == 0)
        return {0, 0};
    // Through unsigned arithmetic so that INT64_MIN has a defined magnitude.
    const std::uint64_t magnitude =
        n < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    const int shift = std::countl_zero(magnitude);
    return {static_cast<std::uint16_t>((n < 0 ? 0x8000 : 0) | (Bias + 63 - shift)),
            magnitude << shift};
}

constexpr Extended80::Encoding Extended80::encodeDouble(double x)
{
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const auto sign = static_cast<std::uint16_t>((bits >> 48) & 0x8000);
    const auto exp = static_cast<std::int32_t>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & 0xFFFFFFFFFFFFFu;
    if (static_cast<std::uint32_t>(exp - 1) < 0x7FE)
        return {static_cast<std::uint16_t>(sign | (exp - 1023 + Bias)),
                IntegerBit | (fraction << 11)};
    if (exp == 0x7FF) {
        if (fraction == 0)
            return {static_cast<std::uint16_t>(sign | InfExp), IntegerBit};
        // The x87 load quietens a signalling NaN and keeps the payload.
        return {static_cast<std::uint16_t>(sign | InfExp),
                IntegerBit | (std::uint64_t{1} << 62) | (fraction << 11)};
    }
    if (fraction == 0)
        return {sign, 0};
    // Subnormal double: fraction * 2^-1074, a normal extended value.
    const int shift = std::countl_zero(fraction);
    return {static_cast<std::uint16_t>(sign | (Bias - 1074 + 63 - shift)), fraction << shift};
}

HSLUTILS_HOT_INLINE double Extended80::toDoubleOf(Extended80 x)
{
    using namespace Extended80Detail;
    const std::uint64_t sign = static_cast<std::uint64_t>(x.FSignExp & 0x8000) << 48;
    if (isNormal(x)) {
        // Biased double exponent of the value 1.f * 2^(exp - Bias).
        const std::int32_t exp = (x.FSignExp & InfExp) - Bias + 1023;
        if (static_cast<std::uint32_t>(exp - 1) < 0x7FE) {
            std::uint64_t sig = x.FSig >> 11;
            const std::uint64_t rest = x.FSig & 0x7FF;
            if (rest > 0x400 || (rest == 0x400 && (sig & 1) != 0))
                ++sig;
            // Adding the significand with its integer bit to exponent - 1 lets a
            // carry out of the significand step the exponent, up to infinity.
            return std::bit_cast<double>(sign |
                                         ((static_cast<std::uint64_t>(exp - 1) << 52) + sig));
        }
    }
    const Parts p = unpack(x);
    switch (p.Type) {
    case Kind::Zero:
        return std::bit_cast<double>(sign);
    case Kind::Inf:
        return std::bit_cast<double>(sign | 0x7FF0000000000000u);
    case Kind::NaN:
        // The x87 store keeps the top of the payload and the quiet bit.
        return std::bit_cast<double>(sign | 0x7FF8000000000000u |
                                     ((p.Sig >> 11) & 0xFFFFFFFFFFFFFu));
    case Kind::Finite:
        break;
    }
    const std::int32_t exp = p.Exp - Bias + 1023;
    if (exp >= 0x7FF)
        return std::bit_cast<double>(sign | 0x7FF0000000000000u);
    // Below the normal doubles: keep fewer bits and round once. A carry into
    // bit 52 gives the smallest normal double, which is the right encoding.
    return std::bit_cast<double>(sign | roundShifted(shiftRightJam(p.Sig, 0, 12 - exp)));
}

HSLUTILS_HOT_INLINE std::int64_t Extended80::roundHalfEvenOf(Extended80 x)
{
    constexpr std::int64_t indefinite = INT64_MIN;
    const Parts p = unpack(x);
    if (p.Type == Kind::Zero)
        return 0;
    if (p.Type != Kind::Finite)
        return indefinite;
    const std::int32_t unbiased = p.Exp - Bias; // the value is 1.f * 2^unbiased
    if (unbiased >= 63)
        return indefinite; // at least 2^63 in magnitude; -2^63 itself is the same value
    if (unbiased < -1)
        return 0; // below one half
    const std::uint64_t sig =
        Extended80Detail::roundShifted(Extended80Detail::shiftRightJam(p.Sig, 0, 63 - unbiased));
    if (sig >= IntegerBit)
        return indefinite; // rounded to 2^63: outside the range, or -2^63 exactly
    return p.Sign ? -static_cast<std::int64_t>(sig) : static_cast<std::int64_t>(sig);
}

// The significand of x shifted to the exponent exp >= x.Exp, as sig:extra.
HSLUTILS_HOT_INLINE Wide::U128 Extended80::align(Parts x, std::int32_t exp)
{
    if (exp == x.Exp)
        return {x.Sig, 0};
    return Extended80Detail::shiftRightJam(x.Sig, 0, exp - x.Exp);
}

HSLUTILS_HOT_INLINE Extended80 Extended80::addMagnitudes(bool sign, Parts a, Parts b)
{
    // Copies rather than std::swap: nothing here should need an address.
    const Parts big = a.Exp < b.Exp ? b : a;
    const Parts small = a.Exp < b.Exp ? a : b;
    const Wide::U128 aligned = align(small, big.Exp);
    std::uint64_t extra = aligned.Lo;
    std::uint64_t sum = big.Sig + aligned.Hi;
    std::int32_t exp = big.Exp;
    if (sum < big.Sig) { // carried out of 64 bits
        extra = (sum << 63) | (extra != 0 ? 1 : 0);
        sum = (sum >> 1) | IntegerBit;
        ++exp;
    }
    return roundPack(sign, exp, sum, extra);
}

// |a| - |b| with the sign of a; the sign flips when |b| is the larger.
HSLUTILS_HOT_INLINE Extended80 Extended80::subtractMagnitudes(bool sign, Parts a, Parts b)
{
    const bool flip = a.Exp < b.Exp || (a.Exp == b.Exp && a.Sig < b.Sig);
    const Parts big = flip ? b : a;
    const Parts small = flip ? a : b;
    const Wide::U128 aligned = align(small, big.Exp);
    // big.Sig:0 - aligned, exact apart from the sticky bit.
    const std::uint64_t lo = std::uint64_t{0} - aligned.Lo;
    const std::uint64_t hi = big.Sig - aligned.Hi - (aligned.Lo != 0 ? 1 : 0);
    return normRoundPack(sign != flip, big.Exp, hi, lo);
}

HSLUTILS_HOT_INLINE Extended80 Extended80::multiplyNormal(Parts a, Parts b)
{
    // The product of two significands lies in [2^126, 2^128): at most one
    // bit of normalisation.
    const Wide::U128 product = Wide::mul64To128(a.Sig, b.Sig);
    std::int32_t exp = a.Exp + b.Exp - Bias + 1;
    std::uint64_t sig = product.Hi;
    std::uint64_t extra = product.Lo;
    if ((sig & IntegerBit) == 0) {
        sig = (sig << 1) | (extra >> 63);
        extra <<= 1;
        --exp;
    }
    return roundPack(a.Sign != b.Sign, exp, sig, extra);
}

HSLUTILS_HOT_INLINE Extended80 Extended80::divideNormal(Parts a, Parts b)
{
    // Scale the dividend so that the quotient has exactly 64 bits.
    std::int32_t exp = a.Exp - b.Exp + Bias;
    std::uint64_t hi = a.Sig >> 1, lo = a.Sig << 63;
    if (a.Sig < b.Sig) {
        hi = a.Sig;
        lo = 0;
        --exp;
    }
    const Wide::Division q = Wide::div128By64(hi, lo, b.Sig);
    // Rounding needs only where the remainder lies against half the divisor.
    std::uint64_t extra = 0;
    if (q.Remainder != 0) {
        const std::uint64_t rest = b.Sig - q.Remainder;
        extra = q.Remainder > rest ? 0xC000000000000000u : q.Remainder == rest ? IntegerBit : 1;
    }
    return roundPack(a.Sign != b.Sign, exp, q.Quotient, extra);
}

constexpr Extended80::Order Extended80::compareNormal(Extended80 a, Extended80 b)
{
    const bool signA = (a.FSignExp & 0x8000) != 0;
    const bool signB = (b.FSignExp & 0x8000) != 0;
    if (signA != signB)
        return signA ? Order::Less : Order::Greater;
    if (a.FSignExp == b.FSignExp && a.FSig == b.FSig)
        return Order::Equal;
    // Among normal values of one sign the encoding orders the magnitude.
    const bool aBelow = a.FSignExp != b.FSignExp ? a.FSignExp < b.FSignExp : a.FSig < b.FSig;
    return aBelow != signA ? Order::Less : Order::Greater;
}

} // namespace HSLUtils
