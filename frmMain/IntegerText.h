#pragma once
// The program's integer texts: reading decimal and "$"/"0x" hexadecimal texts,
// writing decimal and hexadecimal texts, and 1-based substrings.
#include <QString>
#include <cstdint>
#include <optional>

// Reads a signed 32-bit integer. Accepted: leading spaces (character 32 only,
// not tabs), at most one "-" or "+", then either a hexadecimal form ("$", "x",
// "X", "0x" or "0X" followed by one or more hex digits, at most eight
// significant ones, read as the two's-complement bits so "$FFFFFFFF" is -1) or
// one or more decimal digits in -2147483648..2147483647. Nothing may follow.
// Only ASCII digits count. Throws EConvertError
// "'<text>' is not a valid integer value" otherwise.
std::int32_t StrToInt(const QString& text);

// The same reading without the error: nullopt where StrToInt throws.
std::optional<std::int32_t> TryStrToInt(const QString& text);

// The same syntax over the 64-bit range (at most sixteen significant hex
// digits); returns def for any text StrToInt-style reading rejects.
std::int64_t StrToInt64Def(const QString& text, std::int64_t def);

// Base 10, "-" when negative, no leading zeros, "0" for zero.
QString IntToStr(std::int64_t value);

// Upper-case hexadecimal without prefix, zero-padded on the left to at least
// `digits` characters (longer values are never cut).
QString IntToHex(std::uint32_t value, int digits);

// The `count` characters of `text` from the 1-based position `start`, cut off
// at the end of the text. A start beyond the last character gives an empty
// text; a start below 1 counts from the first character (the count is not
// shortened); a count of zero or less gives an empty text.
QString Copy(const QString& text, int start, int count);
