#pragma once
// The desktop frozen in one portal screenshot, shown by one fullscreen window
// per monitor (FrozenScreenWindow). The point aimed at is the picture pixel
// under the pointer's hotspot, moved a pixel at a time by the arrow keys. A
// left click or Enter picks it, Escape or a right click cancels.
//
// As a DesktopPixels it reads the picture: the desktop's pixels are the
// picture's, all monitors in one, in physical pixels. The loupe is drawn by the
// window of the monitor it stands on.
#include "platform/FrozenDesktop.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class FrozenScreenWindow;
class QScreen;

class FrozenScreens final : public QObject, public FrozenDesktop {
public:
    // Shows `picture` over `screens`, each window its part of the picture.
    FrozenScreens(const QImage& picture, const QList<QScreen*>& screens);
    ~FrozenScreens() override;

    // The same over every screen the toolkit has, as a FrozenDesktop::Show: it is
    // up at once, unless there is no screen to show it on.
    static std::unique_ptr<FrozenDesktop> show(const QImage& picture, Opened opened);

    const std::vector<std::unique_ptr<FrozenScreenWindow>>& windows() const { return FWindows; }

    std::optional<QPoint> cursorPos() override { return FAim; }
    bool screenReadable() const override { return true; }
    Pixel pixelAt(int x, int y) override;
    Block blockAt(QPoint centre) override;
    bool showOverlay(QPoint at, const QImage& picture) override;
    bool showsOverlays() const override { return true; }
    void hideOverlay() override;

private:
    void aim(QPoint pixel);
    void step(QPoint by);
    void onKey(int key);
    void onClick(Qt::MouseButton button);
    void finish(Outcome outcome);
    const FrozenScreenWindow* windowAt(QPoint pixel) const;

    QImage FPicture;
    std::vector<std::unique_ptr<FrozenScreenWindow>> FWindows;
    std::optional<QPoint> FAim;
    bool FFinished = false;
};
