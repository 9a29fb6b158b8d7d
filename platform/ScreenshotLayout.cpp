#include "platform/ScreenshotLayout.h"

#include <algorithm>
#include <cmath>

QList<QRect> PictureParts(const QList<QRect>& screens, QSize picture)
{
    QRect box;
    for (const QRect& screen : screens)
        box = box.united(screen);
    if (box.isEmpty() || picture.isEmpty())
        return {};
    const double kx = double(picture.width()) / box.width();
    const double ky = double(picture.height()) / box.height();
    QList<QRect> parts;
    for (const QRect& screen : screens) {
        // Edges scaled, not sizes: neighbours share their edge, with no gap.
        const int left = int(std::lround((screen.left() - box.left()) * kx));
        const int top = int(std::lround((screen.top() - box.top()) * ky));
        const int right = int(std::lround((screen.left() + screen.width() - box.left()) * kx));
        const int bottom = int(std::lround((screen.top() + screen.height() - box.top()) * ky));
        parts.append(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
    }
    return parts;
}

QPoint PicturePixelAt(QPointF point, QSizeF window, QRect part)
{
    if (window.isEmpty() || part.isEmpty())
        return part.topLeft();
    // Wayland hands positions over in steps of 1/256 of a window pixel: at 1.5 the
    // pointer on physical pixel 647 comes as 431.332 (646.998). Up to one such
    // step short still counts as the next pixel.
    const double kx = part.width() / window.width();
    const double ky = part.height() / window.height();
    const int x = int(std::floor(point.x() * kx + kx / 256));
    const int y = int(std::floor(point.y() * ky + ky / 256));
    return part.topLeft() +
           QPoint(std::clamp(x, 0, part.width() - 1), std::clamp(y, 0, part.height() - 1));
}

QRectF WindowRectOf(QRect pixels, QSizeF window, QRect part)
{
    if (part.isEmpty())
        return {};
    const double kx = window.width() / part.width();
    const double ky = window.height() / part.height();
    const QPoint at = pixels.topLeft() - part.topLeft();
    return {at.x() * kx, at.y() * ky, pixels.width() * kx, pixels.height() * ky};
}
