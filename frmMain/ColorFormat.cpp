#include "frmMain/ColorFormat.h"

#include "frmMain/ColorText.h"
#include "frmMain/IntegerText.h"

#include <QStringList>

std::optional<ColorFormat> ColorFormatNamed(const QString& name)
{
    static constexpr struct {
        const char* name;
        ColorFormat format;
    } Names[] = {{"hex", ColorFormat::Hex},
                 {"dec", ColorFormat::Dec},
                 {"rgb", ColorFormat::Rgb},
                 {"hsl", ColorFormat::Hsl},
                 {"report", ColorFormat::Report}};
    for (const auto& entry : Names) {
        if (name == QLatin1String(entry.name))
            return entry.format;
    }
    return std::nullopt;
}

ReportFields ShownFields(HSLUtils::TColor color, const SystemColors& colors)
{
    const ColorComponents rgb = SplitColor(color);
    std::int32_t H = 0;
    std::int32_t S = 0;
    std::int32_t L = 0;
    HSLUtils::ColorToHslScaled(color, H, S, L);
    return {.Dec = IntToStr(color),
            .Hex = HtmlColorText(ResolveColor(color, colors)),
            .Red = IntToStr(rgb.Red),
            .Green = IntToStr(rgb.Green),
            .Blue = IntToStr(rgb.Blue),
            .Hue = IntToStr(H),
            .Sat = IntToStr(S),
            .Lum = IntToStr(L)};
}

QByteArray FormatColor(HSLUtils::TColor color, ColorFormat format, const SystemColors& colors)
{
    const ReportFields fields = ShownFields(color, colors);
    const auto line = [](std::initializer_list<QString> texts) {
        return QStringList(texts).join(QLatin1Char(' ')).toLatin1() + '\n';
    };
    switch (format) {
    case ColorFormat::Hex:
        return line({fields.Hex});
    case ColorFormat::Dec:
        return line({fields.Dec});
    case ColorFormat::Rgb:
        return line({fields.Red, fields.Green, fields.Blue});
    case ColorFormat::Hsl:
        return line({fields.Hue, fields.Sat, fields.Lum});
    case ColorFormat::Report:
        return ReportText(fields);
    }
    return {};
}
