#include "sTrackBar/TPositionTip.h"

#include <QToolTip>

namespace {
// Distance between the thumb and the tip, in pixels.
constexpr int Gap = 4;
} // namespace

TPositionTip::TPositionTip(QWidget* owner) : QLabel(owner, Qt::ToolTip)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setPalette(QToolTip::palette());
    setFont(QToolTip::font());
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(2);
    setAlignment(Qt::AlignCenter);
}

void TPositionTip::showBeside(const QRect& thumb, Qt::Edge side, int position)
{
    setText(QString::number(position));
    adjustSize();
    // Centred on the thumb, then pushed out to the side.
    QRect tip(QPoint(), size());
    tip.moveCenter(thumb.center());
    switch (side) {
    case Qt::TopEdge:
        tip.moveBottom(thumb.top() - Gap);
        break;
    case Qt::BottomEdge:
        tip.moveTop(thumb.bottom() + Gap);
        break;
    case Qt::LeftEdge:
        tip.moveRight(thumb.left() - Gap);
        break;
    case Qt::RightEdge:
        tip.moveLeft(thumb.right() + Gap);
        break;
    }
    move(tip.topLeft());
    if (!isVisible())
        show();
}
