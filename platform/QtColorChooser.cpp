#include "platform/QtColorChooser.h"

#include <QApplication>
#include <QColorDialog>

namespace {

QColor toQColor(HSLUtils::TColor color)
{
    return {color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF};
}

HSLUtils::TColor toPacked(const QColor& color)
{
    return color.red() | color.green() << 8 | color.blue() << 16;
}

// Qt shows a slot never set as white.
const QColor UnsetSlot(Qt::white);

} // namespace

bool QtColorChooser::choose(HSLUtils::TColor& color, CustomColors& customColors)
{
    for (int i = 0; i < int(customColors.size()); ++i)
        QColorDialog::setCustomColor(i,
                                     customColors[i] < 0 ? UnsetSlot : toQColor(customColors[i]));

    QColorDialog dialog(toQColor(color), QApplication::activeWindow());
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    color = toPacked(dialog.selectedColor());
    for (int i = 0; i < int(customColors.size()); ++i) {
        const QColor slot = QColorDialog::customColor(i);
        if (!(customColors[i] < 0 && slot == UnsetSlot))
            customColors[i] = toPacked(slot);
    }
    return true;
}
