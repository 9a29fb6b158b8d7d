#pragma once
// The fullscreen window over one monitor while a portal screenshot is picked
// from: it shows that monitor's part of the picture, and on it the loupe's
// picture where the loupe stands; it reports where the pointer aims in
// picture pixels, the clicks and the keys.
#include <QImage>
#include <QRect>
#include <QWidget>
#include <functional>

class QScreen;

class FrozenScreenWindow final : public QWidget {
public:
    struct Handlers {
        std::function<void(QPoint pixel)> aimed;      // the pointer is over that picture pixel
        std::function<void(Qt::MouseButton)> clicked; // after aimed at the click's pixel
        std::function<void(int key)> keyPressed;      // Qt::Key
    };

    // Shows `part` of `picture` over `screen`.
    FrozenScreenWindow(const QImage& picture, QRect part, QScreen* screen, Handlers handlers);

    QRect part() const { return FPart; }
    // Shows `overlay` with its top left on picture pixel `at`, one overlay pixel
    // per picture pixel; a null overlay shows none.
    void showOverlay(QPoint at, const QImage& overlay);
    bool showsOverlay() const { return !FOverlay.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The pointer, read from the native window's own events: the widget's
    // are rounded to whole logical pixels, which at scale 2 are two physical ones.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint pixelAt(QPointF point) const;
    QRect overlayRect() const;

    QImage FPicture;
    QRect FPart;
    Handlers FHandlers;
    QImage FOverlay;
    QPoint FOverlayAt;
};
