#pragma once
// Where each monitor lies in the portal's picture, and which picture pixel a
// point of the window covering that monitor shows. The picture holds every
// monitor in physical pixels; the toolkit's own measures of a monitor are not
// to be trusted for that (at scale 1.5 Qt reports a device pixel ratio of 2),
// so a point is mapped by the picture part's size over the window's size.
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>

// The part of a `picture` of that size each screen shows: the screens'
// geometries as the toolkit gives them, scaled so that their bounding box fills
// the picture. Empty when there are no screens or no picture.
QList<QRect> PictureParts(const QList<QRect>& screens, QSize picture);

// The picture pixel under `point` of a window of size `window` that shows
// `part` whole, always within `part`.
QPoint PicturePixelAt(QPointF point, QSizeF window, QRect part);

// Where the picture pixels `pixels` lie on that window.
QRectF WindowRectOf(QRect pixels, QSizeF window, QRect part);
