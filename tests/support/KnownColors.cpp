// huvella-test-colors: fills every monitor with known colors, pixel-exact in
// the monitor's physical pixels at any scale, for the pick tests on real
// desktops. The physical pixel (x, y) of the monitor listed k-th (from 0) is
//   red x % 256, green y % 256, blue (16 * (x / 256) + y / 256 + 128 * k) % 256
// (known_colors.py computes the same). Prints "shown NAME K WIDTH HEIGHT" (the
// physical size) for each monitor once its window is drawn, then "ready", and
// runs until it is killed.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QRgb KnownColor(int x, int y, int k)
{
    return qRgb(x % 256, y % 256, (16 * (x / 256) + y / 256 + 128 * k) % 256);
}

class Pattern final : public QRasterWindow {
public:
    Pattern(QScreen* screen, int k, int* left) : FK(k), FLeft(left)
    {
        setScreen(screen);
        setGeometry(screen->geometry());
        setFlag(Qt::FramelessWindowHint);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        // The image in device pixels, one per physical pixel of the monitor.
        const qreal ratio = devicePixelRatio();
        const QSize physical(qRound(width() * ratio), qRound(height() * ratio));
        if (FImage.size() != physical) {
            FImage = QImage(physical, QImage::Format_RGB32);
            for (int y = 0; y < physical.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(FImage.scanLine(y));
                for (int x = 0; x < physical.width(); ++x)
                    row[x] = KnownColor(x, y, FK);
            }
            FImage.setDevicePixelRatio(ratio);
        }
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPointF(0, 0), FImage);
        if (!FShown) {
            FShown = true;
            std::printf("shown %s %d %d %d\n", qPrintable(screen()->name()), FK, FImage.width(),
                        FImage.height());
            if (--*FLeft == 0)
                std::printf("ready\n");
            std::fflush(stdout);
        }
    }

private:
    int FK;
    int* FLeft;
    bool FShown = false;
    QImage FImage;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    std::vector<std::unique_ptr<Pattern>> windows;
    const QList<QScreen*> screens = QGuiApplication::screens();
    int left = static_cast<int>(screens.size());
    for (int k = 0; k < screens.size(); ++k) {
        windows.push_back(std::make_unique<Pattern>(screens[k], k, &left));
        windows.back()->showFullScreen();
    }
    return app.exec();
}
