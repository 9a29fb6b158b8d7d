#pragma once
// The value fields of the window as one list, beside the list that a color
// read from the screen must give: hex, decimal, the RGB boxes, the HSL boxes,
// then the RGB and the HSL slider positions.
#include "HSLUtils/HSLUtils.h"
#include "frmMain/TEdit.h"
#include "frmMain/TForm1.h"
#include "sTrackBar/TsTrackBar.h"

#include <QStringList>

inline QStringList FieldsOf(HSLUtils::TColor c)
{
    int h = 0, s = 0, l = 0;
    HSLUtils::ColorToHslScaled(c, h, s, l);
    const int red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF;
    const QString html =
        QStringLiteral("#%1").arg(red << 16 | green << 8 | blue, 6, 16, QLatin1Char('0')).toUpper();
    return {html,
            QString::number(c),
            QString::number(red),
            QString::number(green),
            QString::number(blue),
            QString::number(h),
            QString::number(s),
            QString::number(l),
            QStringLiteral("%1,%2,%3").arg(red).arg(green).arg(blue),
            QStringLiteral("%1,%2,%3").arg(h).arg(s).arg(l)};
}

inline QStringList FieldsShown(const TForm1& form)
{
    const auto positions = [](const TsTrackBar* a, const TsTrackBar* b, const TsTrackBar* c) {
        return QStringLiteral("%1,%2,%3").arg(a->Position()).arg(b->Position()).arg(c->Position());
    };
    return {form.edt1->text(),
            form.edt5->text(),
            form.edt2->text(),
            form.edt3->text(),
            form.edt4->text(),
            form.edt6->text(),
            form.edt7->text(),
            form.edt8->text(),
            positions(form.tb1, form.tb2, form.tb3),
            positions(form.tb4, form.tb5, form.tb6)};
}
