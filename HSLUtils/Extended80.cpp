#include "HSLUtils/Extended80.h"

namespace HSLUtils {

Extended80 Extended80::roundPackOutOfRange(bool sign, std::int32_t exp, std::uint64_t sig,
                                           std::uint64_t extra)
{
    if (exp >= InfExp)
        return infinity(sign);
    // Subnormal result: denormalise first so that it is rounded only once.
    const std::uint64_t rounded =
        Extended80Detail::roundShifted(Extended80Detail::shiftRightJam(sig, extra, 1 - exp));
    // Rounding up into the integer bit makes it the smallest normal.
    return pack(sign, (rounded & IntegerBit) != 0 ? 1 : 0, rounded);
}

// The x87 rules: a signalling NaN is quietened; of two NaNs of the same kind
// the one with the larger significand wins; a quiet NaN beats a signalling one.
Extended80 Extended80::propagateNaN(Extended80 a, Extended80 b)
{
    constexpr std::uint64_t quietBit = std::uint64_t{1} << 62;
    const auto quiet = [](Extended80 x) { return fromBits(x.FSignExp, x.FSig | quietBit); };
    if (!a.isNaN())
        return quiet(b);
    if (!b.isNaN())
        return quiet(a);
    const bool aQuiet = (a.FSig & quietBit) != 0, bQuiet = (b.FSig & quietBit) != 0;
    if (aQuiet != bQuiet)
        return quiet(aQuiet ? a : b);
    const std::uint64_t aMag = a.FSig << 1, bMag = b.FSig << 1;
    if (aMag != bMag)
        return quiet(aMag > bMag ? a : b);
    return quiet((a.FSignExp & 0x8000) == 0 ? a : b); // equal significands: the positive one
}

Extended80 Extended80::add(Extended80 a, Extended80 b, bool negateB)
{
    if (a.isNaN() || b.isNaN())
        return propagateNaN(a, b);
    Parts pa = unpack(a);
    Parts pb = unpack(b);
    pb.Sign = pb.Sign != negateB;
    if (pa.Type == Kind::Inf) {
        if (pb.Type == Kind::Inf && pa.Sign != pb.Sign)
            return defaultNaN();
        return infinity(pa.Sign);
    }
    if (pb.Type == Kind::Inf)
        return infinity(pb.Sign);
    if (pa.Type == Kind::Zero && pb.Type == Kind::Zero)
        return zero(pa.Sign && pb.Sign);
    if (pa.Type == Kind::Zero)
        return roundPack(pb.Sign, pb.Exp, pb.Sig, 0);
    if (pb.Type == Kind::Zero)
        return roundPack(pa.Sign, pa.Exp, pa.Sig, 0);
    if (pa.Sign == pb.Sign)
        return addMagnitudes(pa.Sign, pa, pb);
    return subtractMagnitudes(pa.Sign, pa, pb);
}

Extended80 Extended80::multiply(Extended80 a, Extended80 b)
{
    if (a.isNaN() || b.isNaN())
        return propagateNaN(a, b);
    const Parts pa = unpack(a);
    const Parts pb = unpack(b);
    const bool sign = pa.Sign != pb.Sign;
    if (pa.Type == Kind::Inf || pb.Type == Kind::Inf) {
        if (pa.Type == Kind::Zero || pb.Type == Kind::Zero)
            return defaultNaN();
        return infinity(sign);
    }
    if (pa.Type == Kind::Zero || pb.Type == Kind::Zero)
        return zero(sign);
    return multiplyNormal(pa, pb);
}

Extended80 Extended80::divide(Extended80 a, Extended80 b)
{
    if (a.isNaN() || b.isNaN())
        return propagateNaN(a, b);
    const Parts pa = unpack(a);
    const Parts pb = unpack(b);
    const bool sign = pa.Sign != pb.Sign;
    if (pa.Type == Kind::Inf) {
        if (pb.Type == Kind::Inf)
            return defaultNaN();
        return infinity(sign);
    }
    if (pb.Type == Kind::Inf)
        return zero(sign);
    if (pb.Type == Kind::Zero) {
        if (pa.Type == Kind::Zero)
            return defaultNaN();
        return infinity(sign);
    }
    if (pa.Type == Kind::Zero)
        return zero(sign);
    return divideNormal(pa, pb);
}

Extended80::Order Extended80::compare(Extended80 a, Extended80 b)
{
    if (a.isNaN() || b.isNaN())
        return Order::Unordered;
    const Parts pa = unpack(a);
    const Parts pb = unpack(b);
    if (pa.Type == Kind::Zero && pb.Type == Kind::Zero)
        return Order::Equal;
    const bool signA = pa.Sign && pa.Type != Kind::Zero;
    const bool signB = pb.Sign && pb.Type != Kind::Zero;
    if (signA != signB)
        return signA ? Order::Less : Order::Greater;
    // Magnitudes by kind (zero, finite, infinite), then exponent and significand.
    const auto rank = [](const Parts& p) { return static_cast<int>(p.Type); };
    Order o = Order::Equal;
    if (rank(pa) != rank(pb))
        o = rank(pa) < rank(pb) ? Order::Less : Order::Greater;
    else if (pa.Type == Kind::Finite && (pa.Exp != pb.Exp || pa.Sig != pb.Sig))
        o = (pa.Exp != pb.Exp ? pa.Exp < pb.Exp : pa.Sig < pb.Sig) ? Order::Less : Order::Greater;
    if (!signA || o == Order::Equal)
        return o;
    return o == Order::Less ? Order::Greater : Order::Less;
}

Extended80::Parts Extended80::unpackOther(Extended80 x)
{
    const bool sign = (x.FSignExp & 0x8000) != 0;
    std::int32_t exp = x.FSignExp & InfExp;
    const std::uint64_t sig = x.FSig;
    if (exp == InfExp)
        return {(sig << 1) != 0 ? Kind::NaN : Kind::Inf, sign, exp, sig};
    if (sig == 0)
        return {Kind::Zero, sign, 0, 0};
    if (exp == 0)
        exp = 1; // subnormals share the scale of the smallest normal exponent
    const int shift = std::countl_zero(sig);
    return {Kind::Finite, sign, exp - shift, sig << shift};
}

} // namespace HSLUtils
