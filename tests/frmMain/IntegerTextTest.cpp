// The integer texts: the strict 32-bit reading (values and its error), the
// lenient 64-bit reading, and the writers and substring the color texts use.
#include "frmMain/IntegerText.h"
#include "frmMain/Exceptions.h"
#include "tests/support/QStrings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <span>
#include <string_view>

namespace {

using namespace std::literals;

struct Reading {
    const char* name;
    std::u16string_view text;
    std::int64_t value;
};

struct Rejected {
    const char* name;
    std::u16string_view text;
};

// Texts whose value fits 32 bits: the strict and the lenient reading agree.
const Reading Legal[] = {
    {"one leading space", u" 42", 42},
    {"plus sign", u"+7", 7},
    {"spaces before the sign", u"  -5", -5},
    {"zero", u"0", 0},
    {"minus zero", u"-0", 0},
    {"leading zeros", u"007", 7},
    {"dollar hex", u"$1F", 31},
    {"0x hex, lower-case digits", u"0x1f", 31},
    {"0X hex", u"0X1F", 31},
    {"x prefix alone", u"x1F", 31},
    {"0x then a zero", u"0x0", 0},
    {"negated hex", u"-$1F", -31},
    {"plus before 0x", u"+0x10", 16},
    {"space, sign, hex", u" -x10", -16},
};

// The ends of the 32-bit range in decimal: values at any width.
const Reading DecimalBoundary32[] = {
    {"largest decimal", u"2147483647", INT32_MAX},
    {"largest decimal, plus sign", u"+2147483647", INT32_MAX},
    {"smallest decimal", u"-2147483648", INT32_MIN},
    {"largest decimal after many zeros", u"000000000002147483647", INT32_MAX},
    {"smallest decimal after many zeros", u"-00000000002147483648", INT32_MIN},
};

// The ends of the 32-bit range in hex: the bits are taken as a signed 32-bit
// value, so these read differently at 64 bits.
const Reading HexBoundary32[] = {
    {"all bits set is minus one", u"$FFFFFFFF", -1},
    {"nine digits with a leading zero", u"$0FFFFFFFF", -1},
    {"many leading zeros do not count", u"0x00000000000000001", 1},
    {"top bit alone", u"$80000000", INT32_MIN},
    {"largest positive hex", u"$7FFFFFFF", INT32_MAX},
    {"negated top bit wraps to itself", u"-$80000000", INT32_MIN},
    {"negated minus one", u"-$FFFFFFFF", 1},
};

// Rejected at any width: nothing here is a matter of range.
const Rejected IllegalSyntax[] = {
    {"empty", u""},
    {"spaces only", u"   "},
    {"lone minus", u"-"},
    {"lone plus", u"+"},
    {"lone dollar", u"$"},
    {"lone 0x", u"0x"},
    {"lone x", u"x"},
    {"sign and lone prefix", u"-$"},
    {"space after the sign", u"- 5"},
    {"two signs", u"+-1"},
    {"tab is not skipped", u"\t42"},
    {"no-break space is not skipped", u"\u00A042"},
    {"trailing space", u"42 "},
    {"trailing space after hex", u"0x1f "},
    {"space inside", u"4 2"},
    {"space after the prefix", u"$ 1"},
    {"sign after dollar", u"$-1"},
    {"second prefix", u"0x$1"},
    {"doubled dollar", u"$$1"},
    {"0x after a zero", u"00x1"},
    {"hex digit in decimal", u"1F"},
    {"non-hex letter", u"$1G"},
    {"lower-case non-hex letter", u"0x1g"},
    {"thousands separator", u"1,000"},
    {"full-width digits", u"\uFF14\uFF12"},
    {"Arabic-Indic digits", u"\u0664\u0662"},
    {"full-width hex digit", u"$\uFF21"},
    {"embedded NUL", u"4\0"
                     u"2"sv},
    {"trailing NUL", u"42\0"sv},
};

// Rejected by the 32-bit reading because of range only.
const Rejected OutOfRange32[] = {
    {"one past the largest", u"2147483648"},
    {"one below the smallest", u"-2147483649"},
    {"two to the 32 (would wrap to 0)", u"4294967296"},
    {"two to the 32 plus 42 (would wrap to 42)", u"4294967338"},
    {"eleven digits", u"99999999999"},
    {"nine significant hex digits", u"$100000000"},
    {"digit after eight significant ones", u"$FFFFFFFF0"},
    {"negated nine hex digits", u"-$100000000"},
};

TEST(StrToInt, ReadsLegalAndBoundaryTexts)
{
    for (const auto& rows :
         {std::span<const Reading>(Legal), std::span<const Reading>(DecimalBoundary32),
          std::span<const Reading>(HexBoundary32)})
        for (const Reading& row : rows) {
            SCOPED_TRACE(row.name);
            EXPECT_EQ(StrToInt(Text(row.text)), row.value);
            EXPECT_EQ(TryStrToInt(Text(row.text)), row.value);
        }
}

TEST(StrToInt, RejectsIllegalSyntaxAndOutOfRange)
{
    for (const auto& rows :
         {std::span<const Rejected>(IllegalSyntax), std::span<const Rejected>(OutOfRange32)})
        for (const Rejected& row : rows) {
            SCOPED_TRACE(row.name);
            EXPECT_THROW(StrToInt(Text(row.text)), EConvertError);
            EXPECT_EQ(TryStrToInt(Text(row.text)), std::nullopt);
        }
}

TEST(StrToInt, ErrorMessageQuotesTheTextAsGiven)
{
    const struct {
        const char* name;
        std::u16string_view text;
        std::u16string_view message;
    } rows[] = {
        {"empty", u"", u"'' is not a valid integer value"},
        {"letters", u"abc", u"'abc' is not a valid integer value"},
        {"spaces kept", u" 4 2 ", u"' 4 2 ' is not a valid integer value"},
        {"a format placeholder", u"%1", u"'%1' is not a valid integer value"},
        {"a C format", u"%s%d", u"'%s%d' is not a valid integer value"},
        {"quotes", u"'7'", u"''7'' is not a valid integer value"},
        {"embedded NUL",
         u"4\0"
         u"2"sv,
         u"'4\0"
         u"2' is not a valid integer value"sv},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            StrToInt(Text(row.text));
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, Text(row.message));
        }
    }
}

TEST(StrToInt64Def, ReadsThe32BitTextsAlike)
{
    for (const auto& rows :
         {std::span<const Reading>(Legal), std::span<const Reading>(DecimalBoundary32)})
        for (const Reading& row : rows) {
            SCOPED_TRACE(row.name);
            EXPECT_EQ(StrToInt64Def(Text(row.text), 99), row.value);
        }
}

TEST(StrToInt64Def, ReadsThe64BitRange)
{
    const Reading rows[] = {
        {"one past the 32-bit largest", u"2147483648", 2147483648LL},
        {"one below the 32-bit smallest", u"-2147483649", -2147483649LL},
        {"32 bits set is positive", u"$FFFFFFFF", 0xFFFFFFFFLL},
        {"nine hex digits", u"$100000000", 0x100000000LL},
        {"largest decimal", u"9223372036854775807", INT64_MAX},
        {"smallest decimal", u"-9223372036854775808", INT64_MIN},
        {"all 64 bits set is minus one", u"$FFFFFFFFFFFFFFFF", -1},
        {"seventeen digits with a leading zero", u"$0FFFFFFFFFFFFFFFF", -1},
        {"top bit alone", u"$8000000000000000", INT64_MIN},
        {"negated top bit wraps to itself", u"-$8000000000000000", INT64_MIN},
    };
    for (const Reading& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(StrToInt64Def(Text(row.text), 99), row.value);
    }
}

TEST(StrToInt64Def, ReturnsTheDefaultForEveryRejectedText)
{
    const Rejected outOfRange64[] = {
        {"one past the largest", u"9223372036854775808"},
        {"one below the smallest", u"-9223372036854775809"},
        {"two to the 64 (would wrap to 0)", u"18446744073709551616"},
        {"seventeen significant hex digits", u"$10000000000000000"},
        {"digit after sixteen significant ones", u"$FFFFFFFFFFFFFFFF0"},
    };
    for (const auto& rows :
         {std::span<const Rejected>(IllegalSyntax), std::span<const Rejected>(outOfRange64)})
        for (const Rejected& row : rows) {
            SCOPED_TRACE(row.name);
            EXPECT_EQ(StrToInt64Def(Text(row.text), -12345), -12345);
        }
}

TEST(IntToStr, WritesBaseTen)
{
    EXPECT_EQ(IntToStr(0), Text(u"0"));
    EXPECT_EQ(IntToStr(255), Text(u"255"));
    EXPECT_EQ(IntToStr(-1), Text(u"-1"));
    EXPECT_EQ(IntToStr(16711680), Text(u"16711680"));
    EXPECT_EQ(IntToStr(INT64_MIN), Text(u"-9223372036854775808"));
    EXPECT_EQ(IntToStr(INT64_MAX), Text(u"9223372036854775807"));
}

TEST(IntToHex, PadsToAtLeastTheDigitsAndNeverCuts)
{
    const struct {
        std::uint32_t value;
        int digits;
        std::u16string_view text;
    } rows[] = {
        {0, 2, u"00"},
        {10, 2, u"0A"},
        {255, 2, u"FF"},
        {0xAB, 4, u"00AB"},
        {0x123, 2, u"123"},
        {0, 0, u"0"},
        {5, -3, u"5"},
        {0xFFFFFFFF, 2, u"FFFFFFFF"},
        {0xDEADBEEF, 0, u"DEADBEEF"},
        {0x1F, 10, u"000000001F"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.value << " in " << row.digits);
        EXPECT_EQ(IntToHex(row.value, row.digits), Text(row.text));
    }
}

TEST(Copy, CountsFromOneAndCutsAtTheEnd)
{
    const struct {
        const char* name;
        std::u16string_view text;
        int start;
        int count;
        std::u16string_view result;
    } rows[] = {
        {"inside", u"#FF8000", 2, 2, u"FF"},
        {"last two", u"#FF8000", 6, 2, u"00"},
        {"one left", u"#ABCDE", 6, 2, u"E"},
        {"start on the last", u"abc", 3, 5, u"c"},
        {"start just past the end", u"abc", 4, 1, u""},
        {"start far past the end", u"abc", INT_MAX, INT_MAX, u""},
        {"count to the end", u"abc", 2, INT_MAX, u"bc"},
        {"empty text", u"", 1, 1, u""},
        {"start zero counts from the first", u"abc", 0, 2, u"ab"},
        {"negative start counts from the first", u"abc", INT_MIN, 1, u"a"},
        {"count zero", u"abc", 1, 0, u""},
        {"negative count", u"abc", 2, -1, u""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Copy(Text(row.text), row.start, row.count), Text(row.result));
    }
}

} // namespace
