#pragma once
// 128-bit unsigned helpers for the software extended type: the compiler's
// 128-bit integer where it has one, plain 64-bit arithmetic elsewhere. The
// portable forms are always compiled so that they can be checked against the
// native ones on machines that have both.
#include <bit>
#include <cstdint>

namespace HSLUtils::Wide {

struct U128 {
    std::uint64_t Hi = 0;
    std::uint64_t Lo = 0;
    friend bool operator==(const U128&, const U128&) = default;
};

struct Division {
    std::uint64_t Quotient = 0;
    std::uint64_t Remainder = 0;
    friend bool operator==(const Division&, const Division&) = default;
};

// Schoolbook product from four 32x32->64 partial products.
constexpr U128 mul64To128Portable(std::uint64_t a, std::uint64_t b)
{
    const std::uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32;
    const std::uint64_t b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
    const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    // Cannot overflow: at most three 32-bit values.
    const std::uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    return {p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xFFFFFFFFu)};
}

// Quotient of (hi:lo) / d and its remainder, for hi < d so that the quotient
// fits 64 bits. Knuth's algorithm D on 32-bit digits.
constexpr Division div128By64Portable(std::uint64_t hi, std::uint64_t lo, std::uint64_t d)
{
    constexpr std::uint64_t base = std::uint64_t{1} << 32;
    const int s = std::countl_zero(d);
    d <<= s;
    const std::uint64_t dHi = d >> 32, dLo = d & 0xFFFFFFFFu;
    const std::uint64_t n32 = s == 0 ? hi : (hi << s) | (lo >> (64 - s));
    const std::uint64_t n10 = lo << s;
    const std::uint64_t n1 = n10 >> 32, n0 = n10 & 0xFFFFFFFFu;

    std::uint64_t q1 = n32 / dHi, rhat = n32 - q1 * dHi;
    while (q1 >= base || q1 * dLo > base * rhat + n1) {
        --q1;
        rhat += dHi;
        if (rhat >= base)
            break;
    }
    // Modulo 2^64 on purpose: the true value fits 64 bits.
    const std::uint64_t n21 = n32 * base + n1 - q1 * d;

    std::uint64_t q0 = n21 / dHi;
    rhat = n21 - q0 * dHi;
    while (q0 >= base || q0 * dLo > base * rhat + n0) {
        --q0;
        rhat += dHi;
        if (rhat >= base)
            break;
    }
    return {q1 * base + q0, (n21 * base + n0 - q0 * d) >> s};
}

#if defined(__SIZEOF_INT128__)
__extension__ typedef unsigned __int128 NativeU128;

constexpr U128 mul64To128(std::uint64_t a, std::uint64_t b)
{
    const NativeU128 p = static_cast<NativeU128>(a) * b;
    return {static_cast<std::uint64_t>(p >> 64), static_cast<std::uint64_t>(p)};
}
#else
constexpr U128 mul64To128(std::uint64_t a, std::uint64_t b)
{
    return mul64To128Portable(a, b);
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
// The compiler would call its general 128/128 routine; the instruction divides
// 128 by 64 bits directly, and cannot fault since hi < d.
inline Division div128By64(std::uint64_t hi, std::uint64_t lo, std::uint64_t d)
{
    std::uint64_t q = 0, r = 0;
    __asm__("divq %[d]" : "=a"(q), "=d"(r) : "a"(lo), "d"(hi), [d] "rm"(d) : "cc");
    return {q, r};
}
#elif defined(__SIZEOF_INT128__)
constexpr Division div128By64(std::uint64_t hi, std::uint64_t lo, std::uint64_t d)
{
    const NativeU128 n = (static_cast<NativeU128>(hi) << 64) | lo;
    const auto q = static_cast<std::uint64_t>(n / d);
    // The low 64 bits of n - q*d are the whole remainder, since it is below d.
    return {q, lo - q * d};
}
#else
constexpr Division div128By64(std::uint64_t hi, std::uint64_t lo, std::uint64_t d)
{
    return div128By64Portable(hi, lo, d);
}
#endif

} // namespace HSLUtils::Wide
