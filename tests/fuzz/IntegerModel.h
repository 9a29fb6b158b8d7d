#pragma once
// A second reading of the integer texts, written apart from the program's to
// hold it to the rules: it looks at the text whole (sign, prefix, the set of
// digits, how many of them are significant) where the program accumulates
// digit by digit with an overflow check on each.
#include <QString>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace IntegerModel {

// The value of `text` as a signed integer of `bits` (32 or 64) bits, or
// nullopt when the text is not one.
inline std::optional<std::int64_t> Read(const QString& text, int bits)
{
    const std::u16string whole = text.toStdU16String();
    std::u16string_view rest = whole;
    rest.remove_prefix(std::min(rest.find_first_not_of(u' '), rest.size()));
    const bool negative = rest.starts_with(u'-');
    if (negative || rest.starts_with(u'+'))
        rest.remove_prefix(1);

    bool hex = true;
    if (rest.starts_with(u'$') || rest.starts_with(u'x') || rest.starts_with(u'X'))
        rest.remove_prefix(1);
    else if (rest.starts_with(u"0x") || rest.starts_with(u"0X"))
        rest.remove_prefix(2);
    else
        hex = false;

    const std::u16string_view allowed = hex ? u"0123456789abcdefABCDEF" : u"0123456789";
    if (rest.empty() || rest.find_first_not_of(allowed) != std::u16string_view::npos)
        return std::nullopt;
    std::u16string_view significant = rest;
    significant.remove_prefix(std::min(significant.find_first_not_of(u'0'), significant.size()));

    // At most 16 hex or 19 decimal significant digits get here: they fit 64 bits unsigned.
    const std::size_t most = hex ? std::size_t(bits / 4) : 19;
    if (significant.size() > most)
        return std::nullopt;
    std::uint64_t magnitude = 0;
    for (const char16_t c : significant) {
        const int digit = c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10;
        magnitude = magnitude * (hex ? 16 : 10) + std::uint64_t(digit);
    }

    const std::uint64_t top = std::uint64_t(1) << (bits - 1); // 2^(bits-1)
    if (hex) {
        // The digits are the bits of a two's-complement value of the width, and a
        // minus sign negates that value within the width.
        std::uint64_t value = negative ? std::uint64_t(0) - magnitude : magnitude;
        if (bits == 32)
            return std::int64_t(std::int32_t(std::uint32_t(value)));
        return std::int64_t(value);
    }
    if (magnitude > (negative ? top : top - 1))
        return std::nullopt;
    return negative ? std::int64_t(std::uint64_t(0) - magnitude) : std::int64_t(magnitude);
}

inline QString ErrorMessage(const QString& text)
{
    return QStringLiteral("'") + text + QStringLiteral("' is not a valid integer value");
}

} // namespace IntegerModel
