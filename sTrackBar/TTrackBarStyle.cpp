#include "sTrackBar/TTrackBarStyle.h"

#include <QStyleOptionSlider>
#include <algorithm>

TTrackBarStyle::TTrackBarStyle(QStyle* base) : QProxyStyle(base) {}

int TTrackBarStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                const QWidget* widget) const
{
    // Styles differ in which of the two metrics sizes the handle across the
    // groove (Fusion reads the thickness, Windows the control thickness), so
    // both answer the thumb length. A thumb needs at least one pixel.
    if (metric == PM_SliderThickness || metric == PM_SliderControlThickness)
        return std::max(FThumbLength, 1);
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void TTrackBarStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                        QPainter* painter, const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_Slider || FThumbVisible || !slider) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    QStyleOptionSlider withoutThumb(*slider);
    withoutThumb.subControls &= ~SC_SliderHandle;
    QProxyStyle::drawComplexControl(control, &withoutThumb, painter, widget);
}
