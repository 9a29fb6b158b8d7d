#include "frmMain/IntegerText.h"

#include "frmMain/Exceptions.h"

#include <algorithm>
#include <limits>
#include <type_traits>

namespace {

// Only ASCII digits count: QChar::isDigit would also take Arabic-Indic or
// full-width digits, which the integer texts never accept.
constexpr int DecimalDigitValue(char16_t c)
{
    return c >= u'0' && c <= u'9' ? c - u'0' : -1;
}

constexpr int HexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// Length of the hexadecimal prefix at `text` ("$", "x", "X", "0x", "0X"), or 0.
constexpr qsizetype HexPrefixLength(QStringView text)
{
    if (text.empty())
        return 0;
    const char16_t first = text[0].unicode();
    if (first == u'$' || first == u'x' || first == u'X')
        return 1;
    if (first == u'0' && text.size() > 1 && (text[1] == u'x' || text[1] == u'X'))
        return 2;
    return 0;
}

// The one reading behind StrToInt and StrToInt64Def, for a signed width.
// Digits accumulate in the unsigned type of that width, so every step is
// defined behaviour, and the sign is applied as a two's-complement negation:
// "-$80000000" stays the most negative value instead of overflowing.
template <typename Signed> std::optional<Signed> ParseInteger(QStringView text)
{
    using Unsigned = std::make_unsigned_t<Signed>;

    while (!text.empty() && text.front() == u' ')
        text = text.sliced(1);

    bool negative = false;
    if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }

    Unsigned value = 0;
    if (const qsizetype prefix = HexPrefixLength(text); prefix > 0) {
        text = text.sliced(prefix);
        if (text.empty())
            return std::nullopt;
        // A digit arriving after this would push significant bits out of the
        // top; leading zeros never reach it, so "$0FFFFFFFF" is still read.
        constexpr Unsigned lastShiftable = std::numeric_limits<Unsigned>::max() >> 4;
        for (const QChar c : text) {
            const int digit = HexDigitValue(c.unicode());
            if (digit < 0 || value > lastShiftable)
                return std::nullopt;
            value = static_cast<Unsigned>(value << 4 | static_cast<Unsigned>(digit));
        }
    } else {
        if (text.empty())
            return std::nullopt;
        // The magnitude of the most negative value is one more than the largest.
        const Unsigned limit =
            static_cast<Unsigned>(std::numeric_limits<Signed>::max()) + (negative ? 1 : 0);
        for (const QChar c : text) {
            const int digit = DecimalDigitValue(c.unicode());
            if (digit < 0 || value > (limit - static_cast<Unsigned>(digit)) / 10)
                return std::nullopt;
            value = value * 10 + static_cast<Unsigned>(digit);
        }
    }

    if (negative)
        value = static_cast<Unsigned>(Unsigned{0} - value);
    return static_cast<Signed>(value); // modular since C++20
}

} // namespace

std::optional<std::int32_t> TryStrToInt(const QString& text)
{
    return ParseInteger<std::int32_t>(text);
}

std::int32_t StrToInt(const QString& text)
{
    if (const auto value = TryStrToInt(text))
        return *value;
    // Concatenated, not formatted: the text may itself hold "%1" or "%s".
    throw EConvertError(QStringLiteral("'") + text +
                        QStringLiteral("' is not a valid integer value"));
}

std::int64_t StrToInt64Def(const QString& text, std::int64_t def)
{
    return ParseInteger<std::int64_t>(text).value_or(def);
}

QString IntToStr(std::int64_t value)
{
    return QString::number(static_cast<qlonglong>(value));
}

QString IntToHex(std::uint32_t value, int digits)
{
    static constexpr char16_t hexDigits[] = u"0123456789ABCDEF";
    int significant = 1;
    for (std::uint32_t rest = value >> 4; rest != 0; rest >>= 4)
        ++significant;

    QString text(std::max(digits, significant), u'0');
    for (qsizetype i = text.size() - 1; value != 0; --i, value >>= 4)
        text[i] = hexDigits[value & 15];
    return text;
}

QString Copy(const QString& text, int start, int count)
{
    const qsizetype from = static_cast<qsizetype>(std::max(start, 1)) - 1;
    if (count <= 0 || from >= text.size())
        return {};
    return text.mid(from, count);
}
