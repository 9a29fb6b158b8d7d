#include "platform/PanelCacheStyle.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPixmapCache>
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

QString keyOf(const QStyleOptionFrame& frame, qreal ratio)
{
    return QStringLiteral("huvella-panel-%1x%2-%3-%4-%5-%6-%7-%8-%9")
        .arg(frame.rect.width())
        .arg(frame.rect.height())
        .arg(static_cast<int>(frame.state))
        .arg(frame.palette.cacheKey())
        .arg(frame.lineWidth)
        .arg(frame.midLineWidth)
        .arg(static_cast<int>(frame.features))
        .arg(static_cast<int>(frame.direction))
        .arg(ratio);
}

} // namespace

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
    const QString key = keyOf(*frame, ratio);
    QPixmap panel;
    if (!QPixmapCache::find(key, &panel)) {
        panel = QPixmap(frame->rect.size() * ratio);
        panel.setDevicePixelRatio(ratio);
        panel.fill(Qt::transparent);
        QStyleOptionFrame atOrigin = *frame;
        atOrigin.rect.moveTopLeft(QPoint(0, 0));
        QPainter onPanel(&panel);
        QProxyStyle::drawPrimitive(element, &atOrigin, &onPanel, widget);
        onPanel.end();
        QPixmapCache::insert(key, panel);
    }
    painter->drawPixmap(frame->rect.topLeft(), panel);
}
