#include "platform/qt/QtColorChooser.h"

#include "platform/PackedColor.h"

#include <QApplication>
#include <QColorDialog>

namespace {

// Qt shows a slot never set as white.
const QColor UnsetSlot(Qt::white);

} // namespace

bool QtColorChooser::choose(HSLUtils::TColor& color, CustomColors& customColors)
{
    for (int i = 0; i < int(customColors.size()); ++i)
        QColorDialog::setCustomColor(i,
                                     customColors[i] < 0 ? UnsetSlot : ToQColor(customColors[i]));

    QColorDialog dialog(ToQColor(color), QApplication::activeWindow());
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    color = FromQColor(dialog.selectedColor());
    for (int i = 0; i < int(customColors.size()); ++i) {
        const QColor slot = QColorDialog::customColor(i);
        if (!(customColors[i] < 0 && slot == UnsetSlot))
            customColors[i] = FromQColor(slot);
    }
    return true;
}
