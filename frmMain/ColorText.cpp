#include "frmMain/ColorText.h"

#include "frmMain/IntegerText.h"
#include "platform/SystemColors.h"

#include <cstdint>

namespace {

QString ByteHex(HSLUtils::TColor color, int shift)
{
    return IntToHex(static_cast<std::uint32_t>(color) >> shift & 0xFF, 2);
}

} // namespace

QString HtmlColorText(HSLUtils::TColor resolved)
{
    return QStringLiteral("#") + ByteHex(resolved, 0) + ByteHex(resolved, 8) +
           ByteHex(resolved, 16);
}

QString ComposeHtmlColor(const QString& text)
{
    return QStringLiteral("$") + Copy(text, 6, 2) + Copy(text, 4, 2) + Copy(text, 2, 2);
}

std::optional<HSLUtils::TColor> ParseHtmlColor(const QString& text)
{
    return TryStrToInt(ComposeHtmlColor(text));
}

HSLUtils::TColor ComposeColor(int red, int green, int blue)
{
    const auto hex = [](int component) {
        return IntToHex(static_cast<std::uint32_t>(component), 2);
    };
    const QString text = QStringLiteral("$") + hex(blue) + hex(green) + hex(red);
    // Keep the low 32 bits as the packed color; the conversion is modular.
    return static_cast<HSLUtils::TColor>(static_cast<std::uint32_t>(StrToInt64Def(text, 0)));
}

ColorComponents SplitColor(HSLUtils::TColor color)
{
    return {color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF};
}

HSLUtils::TColor ResolveColor(HSLUtils::TColor c, const SystemColors& colors)
{
    if (c >= 0)
        return c;
    return colors.GetSysColor(c & 255);
}
