#pragma once
// The compiler's long double, where it is the x87 80-bit extended format
// (x86 and x86-64 with GCC or Clang), behind the interface of Extended80.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384
#define HSLUTILS_NATIVE_EXTENDED 1
#else
#define HSLUTILS_NATIVE_EXTENDED 0
#endif

#if HSLUTILS_NATIVE_EXTENDED

namespace HSLUtils {

// Relies on the x87 control word that the C runtime sets up and that the
// program never changes: 64-bit precision, round to nearest even. (A runtime
// that starts the x87 in 53-bit precision would break this; glibc does not.)
class NativeExtended {
public:
    constexpr NativeExtended() = default;
    constexpr explicit NativeExtended(std::int32_t n) : FValue(n) {}
    constexpr explicit NativeExtended(double x) : FValue(x) {}
    constexpr explicit NativeExtended(long double x) : FValue(x) {}

    static NativeExtended fromBits(std::uint16_t signExp, std::uint64_t significand)
    {
        unsigned char bytes[sizeof(long double)] = {};
        std::memcpy(bytes, &significand, 8);
        std::memcpy(bytes + 8, &signExp, 2);
        long double x = 0;
        std::memcpy(&x, bytes, sizeof x);
        return NativeExtended(x);
    }
    static constexpr NativeExtended third() { return NativeExtended(0xAAAAAAAAAAAAAAABp-65L); }
    static constexpr NativeExtended twoThirds() { return NativeExtended(0xAAAAAAAAAAAAAAABp-64L); }

    std::uint16_t signExp() const
    {
        std::uint16_t signExp = 0;
        std::memcpy(&signExp, reinterpret_cast<const unsigned char*>(&FValue) + 8, 2);
        return signExp;
    }
    std::uint64_t significand() const
    {
        std::uint64_t significand = 0;
        std::memcpy(&significand, &FValue, 8);
        return significand;
    }
    constexpr long double value() const { return FValue; }
    bool isNaN() const { return std::isnan(FValue); }

    // The cast stores to a double: one rounding, to nearest even.
    friend double toDouble(NativeExtended x) { return static_cast<double>(x.FValue); }
    // Round half to even; like FISTP, INT64_MIN for NaN and for values that do
    // not round into the 64-bit range. Every value from 2^63 - 1/2 up in
    // magnitude gives INT64_MIN, -2^63 being INT64_MIN itself.
    friend std::int64_t roundHalfEven(NativeExtended x)
    {
        if (!(std::fabs(x.FValue) < 0x1p63L - 0.5L))
            return INT64_MIN;
        return std::llrint(x.FValue);
    }

    friend NativeExtended operator+(NativeExtended a, NativeExtended b)
    {
        return NativeExtended(a.FValue + b.FValue);
    }
    friend NativeExtended operator-(NativeExtended a, NativeExtended b)
    {
        return NativeExtended(a.FValue - b.FValue);
    }
    friend NativeExtended operator*(NativeExtended a, NativeExtended b)
    {
        return NativeExtended(a.FValue * b.FValue);
    }
    friend NativeExtended operator/(NativeExtended a, NativeExtended b)
    {
        return NativeExtended(a.FValue / b.FValue);
    }
    friend NativeExtended operator-(NativeExtended a) { return NativeExtended(-a.FValue); }

    friend bool operator==(NativeExtended a, NativeExtended b) { return a.FValue == b.FValue; }
    friend bool operator<(NativeExtended a, NativeExtended b) { return a.FValue < b.FValue; }
    friend bool operator>(NativeExtended a, NativeExtended b) { return a.FValue > b.FValue; }
    friend bool operator<=(NativeExtended a, NativeExtended b) { return a.FValue <= b.FValue; }
    friend bool operator>=(NativeExtended a, NativeExtended b) { return a.FValue >= b.FValue; }

private:
    long double FValue = 0;
};

} // namespace HSLUtils

#endif
