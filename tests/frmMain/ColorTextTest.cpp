// The color's text forms: the HTML hex text both ways, the composition from
// components, and the resolving of system-color references.
#include "frmMain/ColorText.h"
#include "platform/ClassicSystemColors.h"
#include "platform/SystemColors.h"
#include "tests/support/QStrings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace {

using HSLUtils::TColor;
using namespace std::literals;

std::string Hex(TColor color)
{
    return QString::number(static_cast<std::uint32_t>(color), 16).toStdString();
}

TEST(HtmlColorText, ListsRedGreenBlueFromTheLowByteUp)
{
    const struct {
        const char* name;
        TColor color;
        std::u16string_view text;
    } rows[] = {
        {"black", 0, u"#000000"},
        {"red", 255, u"#FF0000"},
        {"green", 65280, u"#00FF00"},
        {"blue", 16711680, u"#0000FF"},
        {"white", 16777215, u"#FFFFFF"},
        {"orange", 33023, u"#FF8000"},
        {"bytes reversed", 1193046, u"#563412"},
        {"upper-case digits", 0xEFCDAB, u"#ABCDEF"},
        {"top byte dropped", 0x7F123456, u"#563412"},
        {"all bits set", -1, u"#FFFFFF"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(HtmlColorText(row.color), Text(row.text));
    }
}

// Every text length composes by moving whole two-character groups.
TEST(HtmlColor, ComposesEveryTextLength)
{
    const struct {
        const char* name;
        std::u16string_view text;
        std::u16string_view composed;
        std::optional<TColor> color;
    } rows[] = {
        {"seven", u"#FF8000", u"$0080FF", 0x0080FF},
        {"more than seven", u"#123456xyz", u"$563412", 0x563412},
        {"six", u"#ABCDE", u"$ECDAB", 0x0ECDAB},
        {"five", u"#ABCD", u"$CDAB", 0x00CDAB},
        {"four, shorthand not expanded", u"#F00", u"$0F0", 0x0000F0},
        {"three", u"#12", u"$12", 0x000012},
        {"two", u"#1", u"$1", 0x000001},
        {"one", u"#", u"$", std::nullopt},
        {"empty", u"", u"$", std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ComposeHtmlColor(Text(row.text)), Text(row.composed));
        EXPECT_EQ(ParseHtmlColor(Text(row.text)), row.color);
    }
}

TEST(HtmlColor, ReadsLegalTexts)
{
    const struct {
        const char* name;
        std::u16string_view text;
        TColor color;
    } rows[] = {
        {"red", u"#FF0000", 255},
        {"bytes reversed", u"#563412", 1193046},
        {"lower-case digits", u"#ff8000", 33023},
        {"first character not examined", u"*00FF00", 65280},
        {"without # the first digit is lost", u"FF0000", 240},
        {"white", u"#FFFFFF", 0xFFFFFF},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ParseHtmlColor(Text(row.text)), row.color);
    }
}

TEST(HtmlColor, RejectsIllegalTexts)
{
    const struct {
        const char* name;
        std::u16string_view text;
    } rows[] = {
        {"non-hex letters", u"#GG0000"},
        {"space inside", u"#00 000"},
        {"sign after the prefix", u"#-12345"},
        {"second prefix", u"#0x1234"},
        {"dollar inside", u"#$12345"},
        {"full-width digit", u"#\uFF10\uFF10\uFF10\uFF10\uFF10\uFF10"},
        {"embedded NUL", u"#00\0"
                         u"000"sv},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ParseHtmlColor(Text(row.text)), std::nullopt);
    }
}

TEST(ComposeColor, ReadsTheComponentsAsBlueGreenRed)
{
    const struct {
        const char* name;
        int red, green, blue;
        TColor color;
    } rows[] = {
        {"black", 0, 0, 0, 0},
        {"orange", 255, 128, 0, 33023},
        {"white", 255, 255, 255, 0xFFFFFF},
        {"distinct bytes", 0x12, 0x34, 0x56, 0x563412},
        // Beyond 0-255 the longer hex text is read as it stands.
        {"three-digit red shifts into green", 256, 0, 0, 0x100},
        {"negative blue keeps the low 32 bits", 0, 0, -1, static_cast<TColor>(0xFFFF0000)},
        {"text past 64 bits gives the default", -1, -1, -1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ComposeColor(row.red, row.green, row.blue), row.color);
    }
}

// Packed colors survive their hex text, and component triples compose to
// their packed value. Blue = red + green (mod 256) makes every pair of values
// meet in every pair of channels in 65536 colors, where all 16.7 million take
// minutes under the sanitizers.
TEST(ColorText, RoundTripsEveryPairOfChannelValues)
{
    for (int red = 0; red < 256; ++red)
        for (int green = 0; green < 256; ++green) {
            const int blue = (red + green) & 0xFF;
            const TColor color = red + 256 * green + 65536 * blue;
            ASSERT_EQ(ParseHtmlColor(HtmlColorText(color)), color) << Hex(color);
            ASSERT_EQ(ComposeColor(red, green, blue), color) << Hex(color);
        }
}

// Answers every index with a color that names it, and counts the questions.
class IndexEchoColors final : public SystemColors {
public:
    TColor GetSysColor(int index) const override
    {
        Asked.push_back(index);
        return 0x010000 * index + 0x42;
    }
    mutable std::vector<int> Asked;
};

TEST(ResolveColor, LooksUpNegativeColorsByTheirLowByte)
{
    const struct {
        const char* name;
        TColor color;
        int index;
    } rows[] = {
        {"minus one (the picker's invalid pixel)", -1, 255},
        {"top bit and index 5", static_cast<TColor>(0x80000005), 5},
        {"top bit alone", INT32_MIN, 0},
        {"middle bytes ignored", static_cast<TColor>(0x80FFFF0F), 15},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        IndexEchoColors colors;
        EXPECT_EQ(ResolveColor(row.color, colors), 0x010000 * row.index + 0x42);
        EXPECT_EQ(colors.Asked, std::vector<int>{row.index});
    }
}

TEST(ResolveColor, KeepsOtherColorsWithoutAsking)
{
    for (const TColor color : {0, 255, 0xFFFFFF, INT32_MAX}) {
        SCOPED_TRACE(Hex(color));
        IndexEchoColors colors;
        EXPECT_EQ(ResolveColor(color, colors), color);
        EXPECT_TRUE(colors.Asked.empty());
    }
}

TEST(ClassicSystemColors, GivesBlackOutsideTheTable)
{
    const ClassicSystemColors colors;
    for (const int index : {31, 255, -1, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(colors.GetSysColor(index), 0);
    }
    EXPECT_EQ(HtmlColorText(ResolveColor(-1, colors)), Text(u"#000000"));
}

TEST(ClassicSystemColors, HoldsPackedColorsInBlueGreenRedOrder)
{
    const ClassicSystemColors colors;
    for (int index = 0; index <= 30; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(colors.GetSysColor(index) & ~0xFFFFFF, 0) << "top byte must be zero";
    }
    // The classic desktop (1) and highlight (13) are blue: their blue byte,
    // the third, outweighs the red low byte.
    for (const int index : {1, 13}) {
        const TColor color = colors.GetSysColor(index);
        EXPECT_GT(color >> 16 & 0xFF, color & 0xFF) << Hex(color);
    }
    // The button face is the classic warm light gray, red above blue.
    EXPECT_EQ(HtmlColorText(colors.GetSysColor(15)), Text(u"#D4D0C8"));
}

} // namespace
