#pragma once
// The look of the sliders: the platform style, with the thumb as long across
// the channel as each slider asks and optionally no thumb at all. One instance
// serves every slider; it reads those two settings from the slider it draws.
#include <QProxyStyle>

class TTrackBarStyle : public QProxyStyle {
    Q_OBJECT
public:
    // The one instance, made on first use and owned by the application.
    static TTrackBarStyle* shared();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    using QProxyStyle::polish;
    void polish(QWidget* widget) override;

private:
    using QProxyStyle::QProxyStyle;
};
