#include "sTrackBar/TTrackBarStyle.h"

#include "sTrackBar/TTrackBar.h"

#include <QApplication>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <algorithm>

namespace {

// The slider a query is about. Qt's styles ask some metrics (the handle's size
// among them) with only the option, whose style object is then the slider.
const TTrackBar* trackBarOf(const QStyleOption* option, const QWidget* widget)
{
    if (widget != nullptr)
        return qobject_cast<const TTrackBar*>(widget);
    return option != nullptr ? qobject_cast<const TTrackBar*>(option->styleObject) : nullptr;
}

} // namespace

TTrackBarStyle* TTrackBarStyle::shared()
{
    static QPointer<TTrackBarStyle> style;
    if (style.isNull()) {
        style = new TTrackBarStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(qApp);
    }
    return style;
}

int TTrackBarStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                const QWidget* widget) const
{
    // Styles differ in which of the two metrics sizes the handle across the
    // groove (Fusion reads the thickness, Windows the control thickness), so
    // both answer the thumb length. A thumb needs at least one pixel.
    const TTrackBar* bar = trackBarOf(option, widget);
    if (bar != nullptr && (metric == PM_SliderThickness || metric == PM_SliderControlThickness))
        return std::max(bar->ThumbLength(), 1);
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void TTrackBarStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                        QPainter* painter, const QWidget* widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    const TTrackBar* bar = trackBarOf(option, widget);
    if (control != CC_Slider || slider == nullptr || bar == nullptr || bar->SliderVisible()) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    QStyleOptionSlider withoutThumb(*slider);
    withoutThumb.subControls &= ~SC_SliderHandle;
    QProxyStyle::drawComplexControl(control, &withoutThumb, painter, widget);
}

void TTrackBarStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    // Fusion asks for hover events on sliders but draws them the same whether
    // the pointer is on them or not, and Qt repaints the whole slider at each
    // one: every slider the pointer crossed was redrawn twice for nothing.
    if (baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0)
        widget->setAttribute(Qt::WA_Hover, false);
}
