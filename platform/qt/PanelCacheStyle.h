#pragma once
// The application's style, with one saving: an edit box's panel (its rounded frame
// and background) is drawn once for each size and look and then copied. The picker
// rewrites the window's edit boxes 20 times a second, and drawing their antialiased
// frames was a third of the work of each repaint.
#include <QHash>
#include <QPixmap>
#include <QProxyStyle>

class PanelCacheStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    // What a panel's drawing depends on.
    struct Look {
        QSize size;
        int state, lineWidth, midLineWidth, features, direction;
        qint64 palette; // QPalette::cacheKey
        qreal ratio;    // device pixels per pixel
        bool operator==(const Look&) const = default;
    };

private:
    mutable QHash<Look, QPixmap> FPanels;
};

size_t qHash(const PanelCacheStyle::Look& look, size_t seed = 0);
