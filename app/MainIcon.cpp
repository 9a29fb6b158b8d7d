#include "app/MainIcon.h"

#include <QPainter>
#include <QPainterPath>

QImage DrawMainIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;

    // The tile.
    painter.setPen(QPen(QColor(0xB4, 0xB4, 0xB4), s / 64.0));
    painter.setBrush(QColor(0xE6, 0xE6, 0xE6));
    painter.drawRoundedRect(QRectF(s * 0.03, s * 0.03, s * 0.94, s * 0.94), s * 0.18, s * 0.18);

    // The banded card inside it.
    const QRectF card(s * 0.17, s * 0.14, s * 0.66, s * 0.72);
    const qreal radius = s * 0.09;
    QPainterPath outline;
    outline.addRoundedRect(card, radius, radius);
    const QColor bands[] = {QColor(0xFF, 0x98, 0x1F), QColor(0x3C, 0xB3, 0x4A),
                            QColor(0x2F, 0x6F, 0xDE), QColor(0xF0, 0x4E, 0x2A),
                            QColor(0x8C, 0x8C, 0x8C)};
    painter.save();
    painter.setClipPath(outline);
    const qreal band = card.height() / std::size(bands);
    for (std::size_t i = 0; i < std::size(bands); ++i)
        painter.fillRect(QRectF(card.left(), card.top() + band * i, card.width(), band + 1),
                         bands[i]);
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x26, 0x26, 0x26), std::max(1.0, s / 24.0)));
    painter.drawPath(outline);
    return image;
}
