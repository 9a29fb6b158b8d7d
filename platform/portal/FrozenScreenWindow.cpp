#include "platform/portal/FrozenScreenWindow.h"

#include "platform/ScreenshotLayout.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

FrozenScreenWindow::FrozenScreenWindow(const QImage& picture, QRect part, QScreen* screen,
                                       Handlers handlers)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), FPicture(picture), FPart(part),
      FHandlers(std::move(handlers))
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the picture covers every pixel
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(QStringLiteral("Huvella: pick a color"));
    if (screen != nullptr) {
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    winId();
    windowHandle()->installEventFilter(this);
}

QPoint FrozenScreenWindow::pixelAt(QPointF point) const
{
    return PicturePixelAt(point, size(), FPart);
}

QRect FrozenScreenWindow::overlayRect() const
{
    if (FOverlay.isNull())
        return {};
    // A pixel more each side: the edges of a scaled drawing round outwards.
    return WindowRectOf(QRect(FOverlayAt, FOverlay.size()), size(), FPart)
        .toAlignedRect()
        .adjusted(-1, -1, 1, 1);
}

void FrozenScreenWindow::showOverlay(QPoint at, const QImage& overlay)
{
    const QRect before = overlayRect();
    FOverlay = overlay;
    FOverlayAt = at;
    update(before.united(overlayRect()));
}

void FrozenScreenWindow::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRectF shown(QPointF(0, 0), QSizeF(size()));
    // Only the part that needs it: a loupe's move repaints two small squares.
    const QRect dirty = event->rect();
    const QRectF source = QRectF(dirty).intersected(shown);
    const double kx = FPart.width() / shown.width();
    const double ky = FPart.height() / shown.height();
    painter.drawImage(source, FPicture,
                      QRectF(FPart.left() + source.left() * kx, FPart.top() + source.top() * ky,
                             source.width() * kx, source.height() * ky));
    if (!FOverlay.isNull())
        painter.drawImage(WindowRectOf(QRect(FOverlayAt, FOverlay.size()), size(), FPart),
                          FOverlay);
}

bool FrozenScreenWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != windowHandle())
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        if (FHandlers.aimed)
            FHandlers.aimed(pixelAt(static_cast<QEnterEvent*>(event)->position()));
        break;
    case QEvent::MouseMove:
        if (FHandlers.aimed)
            FHandlers.aimed(pixelAt(static_cast<QMouseEvent*>(event)->position()));
        break;
    case QEvent::MouseButtonPress: {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (FHandlers.aimed)
            FHandlers.aimed(pixelAt(press->position()));
        if (FHandlers.clicked)
            FHandlers.clicked(press->button());
        return true; // the click is the pick's, not the widget's
    }
    default:
        break;
    }
    return false;
}

void FrozenScreenWindow::keyPressEvent(QKeyEvent* event)
{
    if (FHandlers.keyPressed)
        FHandlers.keyPressed(event->key());
}
