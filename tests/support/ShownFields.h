#pragma once
// Every value the window shows at once, to compare whole windows: the swatch,
// the eight edit boxes and the six slider positions.
#include "HSLUtils/HSLUtils.h"
#include "Hex.h"
#include "frmMain/TEdit.h"
#include "frmMain/TForm1.h"
#include "sTrackBar/TsTrackBar.h"

#include <QString>
#include <array>
#include <ostream>
#include <string>

struct ShownFields {
    HSLUtils::TColor swatch = 0;
    QString hex, dec;                // edt1, edt5
    std::array<QString, 3> rgb;      // edt2 to edt4
    std::array<int, 3> rgbSliders{}; // tb1 to tb3
    std::array<QString, 3> hsl;      // edt6 to edt8
    std::array<int, 3> hslSliders{}; // tb4 to tb6

    bool operator==(const ShownFields&) const = default;

    static ShownFields of(const TForm1& form)
    {
        return {form.CurrentColor(),
                form.edt1->text(),
                form.edt5->text(),
                {form.edt2->text(), form.edt3->text(), form.edt4->text()},
                {form.tb1->Position(), form.tb2->Position(), form.tb3->Position()},
                {form.edt6->text(), form.edt7->text(), form.edt8->text()},
                {form.tb4->Position(), form.tb5->Position(), form.tb6->Position()}};
    }

    // What every field shows for `color` when the banks agree with it.
    static ShownFields consistentWith(HSLUtils::TColor color)
    {
        int h = 0, s = 0, l = 0;
        HSLUtils::ColorToHslScaled(color, h, s, l);
        const int red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
        const auto text = [](int n) { return QString::number(n); };
        return {color,
                QStringLiteral("#%1")
                    .arg(red << 16 | green << 8 | blue, 6, 16, QLatin1Char('0'))
                    .toUpper(),
                text(color),
                {text(red), text(green), text(blue)},
                {red, green, blue},
                {text(h), text(s), text(l)},
                {h, s, l}};
    }

    friend std::ostream& operator<<(std::ostream& out, const ShownFields& f)
    {
        const auto texts = [](const std::array<QString, 3>& a) {
            return (a[0] + ',' + a[1] + ',' + a[2]).toStdString();
        };
        const auto numbers = [](const std::array<int, 3>& a) {
            return std::to_string(a[0]) + ',' + std::to_string(a[1]) + ',' + std::to_string(a[2]);
        };
        return out << ::hex(f.swatch) << ' ' << f.hex.toStdString() << ' ' << f.dec.toStdString()
                   << " rgb " << texts(f.rgb) << " / " << numbers(f.rgbSliders) << " hsl "
                   << texts(f.hsl) << " / " << numbers(f.hslSliders);
    }
};
