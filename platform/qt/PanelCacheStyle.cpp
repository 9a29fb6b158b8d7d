#include "platform/qt/PanelCacheStyle.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionFrame>

namespace {

// A panel that looks the same wherever it is drawn: a plain edit box, on a painter
// that only moves by whole pixels and paints over what is there.
bool replayable(const QStyleOptionFrame& frame, const QPainter& painter, const QWidget* widget)
{
    const auto* edit = qobject_cast<const QLineEdit*>(widget);
    if (edit == nullptr || qobject_cast<const QAbstractSpinBox*>(edit->parentWidget()) != nullptr ||
        qobject_cast<const QComboBox*>(edit->parentWidget()) != nullptr)
        return false;
    const QTransform& transform = painter.worldTransform();
    return frame.palette.base().style() == Qt::SolidPattern && !frame.rect.isEmpty() &&
           transform.type() <= QTransform::TxTranslate &&
           transform.dx() == qRound(transform.dx()) && transform.dy() == qRound(transform.dy()) &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver;
}

} // namespace

size_t qHash(const PanelCacheStyle::Look& look, size_t seed)
{
    return qHashMulti(seed, look.size.width(), look.size.height(), look.state, look.lineWidth,
                      look.midLineWidth, look.features, look.direction, look.palette, look.ratio);
}

void PanelCacheStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const
{
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element != PE_PanelLineEdit || frame == nullptr || painter == nullptr ||
        !replayable(*frame, *painter, widget)) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    const Look look{frame->rect.size(),
                    static_cast<int>(frame->state),
                    frame->lineWidth,
                    frame->midLineWidth,
                    static_cast<int>(frame->features),
                    static_cast<int>(frame->direction),
                    frame->palette.cacheKey(),
                    ratio};
    auto panel = FPanels.find(look);
    if (panel == FPanels.end()) {
        // Drawn straight the first time, so that the window's first paint costs what it
        // did without the copies; a look that comes back is kept. A window has a handful
        // of looks, and palettes that come and go must not pile up.
        if (FPanels.size() >= 64)
            FPanels.clear();
        FPanels.insert(look, QPixmap());
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    if (panel->isNull()) {
        QPixmap drawn(frame->rect.size() * ratio);
        drawn.setDevicePixelRatio(ratio);
        drawn.fill(Qt::transparent);
        QStyleOptionFrame atOrigin = *frame;
        atOrigin.rect.moveTopLeft(QPoint(0, 0));
        QPainter onPanel(&drawn);
        QProxyStyle::drawPrimitive(element, &atOrigin, &onPanel, widget);
        onPanel.end();
        *panel = drawn;
    }
    painter->drawPixmap(frame->rect.topLeft(), *panel);
}
