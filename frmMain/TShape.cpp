#include "frmMain/TShape.h"

#include "platform/PackedColor.h"

#include <QMouseEvent>
#include <QPainter>

TShape::TShape(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

// The same color again paints nothing new (the picker sets it 20 times a
// second while the pointer rests).
void TShape::setBrushColor(HSLUtils::TColor color)
{
    if (color == FBrushColor)
        return;
    FBrushColor = color;
    update();
}

void TShape::setHint(const QString& hint)
{
    FHint = hint;
    updateToolTip();
}

void TShape::setShowHint(bool show)
{
    FShowHint = show;
    updateToolTip();
}

// Qt shows a widget's tool tip when it is not empty, so the tool tip carries
// the hint only while the hint is switched on.
void TShape::updateToolTip()
{
    setToolTip(FShowHint ? FHint : QString());
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor fill = PaintColor ? PaintColor(FBrushColor) : ToQColor(FBrushColor);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(rect().adjusted(1, 1, -1, -1), fill);
}

void TShape::mousePressEvent(QMouseEvent* event)
{
    if (OnMouseDown) {
        const QPoint at = event->position().toPoint();
        OnMouseDown(this, event->button(), event->modifiers(), at.x(), at.y());
    }
}

void TShape::enterEvent(QEnterEvent*)
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TShape::leaveEvent(QEvent*)
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}
