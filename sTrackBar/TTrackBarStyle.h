#pragma once
// The look of one slider: the platform style, with the thumb as long across the
// channel as the slider asks and optionally no thumb at all.
#include <QProxyStyle>

class TTrackBarStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Takes ownership of base, like QProxyStyle.
    explicit TTrackBarStyle(QStyle* base);

    void setThumbLength(int pixels) { FThumbLength = pixels; }
    void setThumbVisible(bool visible) { FThumbVisible = visible; }

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

private:
    int FThumbLength = 20;
    bool FThumbVisible = true;
};
