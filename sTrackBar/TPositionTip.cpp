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
    QRect tip(QPoint(), size());
    switch (side) {
    case Qt::TopEdge:
        tip.moveBottom(thumb.top() - Gap);
        tip.moveLeft(thumb.center().x() - tip.width() / 2);
        break;
    case Qt::BottomEdge:
        tip.moveTop(thumb.bottom() + Gap);
        tip.moveLeft(thumb.center().x() - tip.width() / 2);
        break;
    case Qt::LeftEdge:
        tip.moveRight(thumb.left() - Gap);
        tip.moveTop(thumb.center().y() - tip.height() / 2);
        break;
    case Qt::RightEdge:
        tip.moveLeft(thumb.right() + Gap);
        tip.moveTop(thumb.center().y() - tip.height() / 2);
        break;
    }
    move(tip.topLeft());
    if (!isVisible())
        show();
}
