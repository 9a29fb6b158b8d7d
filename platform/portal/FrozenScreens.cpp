#include "platform/portal/FrozenScreens.h"

#include "platform/PackedColor.h"
#include "platform/portal/FrozenScreenWindow.h"
#include "platform/ScreenshotLayout.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

FrozenScreens::FrozenScreens(const QImage& picture, const QList<QScreen*>& screens)
    : FPicture(picture)
{
    QList<QRect> geometries;
    for (const QScreen* screen : screens)
        geometries.append(screen->geometry());
    const QList<QRect> parts = PictureParts(geometries, FPicture.size());
    FrozenScreenWindow::Handlers handlers{[this](QPoint pixel) { aim(pixel); },
                                          [this](Qt::MouseButton button) { onClick(button); },
                                          [this](int key) { onKey(key); }};
    for (qsizetype i = 0; i < parts.size(); ++i)
        FWindows.push_back(
            std::make_unique<FrozenScreenWindow>(FPicture, parts[i], screens[i], handlers));
    for (const auto& window : FWindows)
        window->showFullScreen();
    // The keyboard goes to the first monitor's window; the pointer goes where it is.
    if (!FWindows.empty()) {
        FWindows.front()->activateWindow();
        FWindows.front()->setFocus();
    }
}

FrozenScreens::~FrozenScreens() = default;

std::unique_ptr<FrozenDesktop> FrozenScreens::show(const QImage& picture, Opened opened)
{
    auto screens = std::make_unique<FrozenScreens>(picture, QGuiApplication::screens());
    const QString failure =
        screens->FWindows.empty() ? QStringLiteral("no monitor to show the frame on") : QString();
    QTimer::singleShot(0, screens.get(), [opened = std::move(opened), failure] { opened(failure); });
    return screens;
}

const FrozenScreenWindow* FrozenScreens::windowAt(QPoint pixel) const
{
    for (const auto& window : FWindows)
        if (window->part().contains(pixel))
            return window.get();
    return nullptr;
}

DesktopPixels::Pixel FrozenScreens::pixelAt(int x, int y)
{
    if (windowAt({x, y}) == nullptr || !FPicture.valid(x, y))
        return {};
    return {Pixel::Status::Color, FromQRgb(FPicture.pixel(x, y))};
}

DesktopPixels::Block FrozenScreens::blockAt(QPoint centre)
{
    const FrozenScreenWindow* window = windowAt(centre);
    return readBlock(centre, window != nullptr ? window->part() : QRect());
}

bool FrozenScreens::showOverlay(QPoint at, const QImage& picture)
{
    const FrozenScreenWindow* target = windowAt(at);
    if (target == nullptr)
        return false;
    for (const auto& window : FWindows) {
        if (window.get() == target)
            window->showOverlay(at, picture);
        else if (window->showsOverlay())
            window->showOverlay({}, {});
    }
    return true;
}

void FrozenScreens::hideOverlay()
{
    for (const auto& window : FWindows)
        if (window->showsOverlay())
            window->showOverlay({}, {});
}

void FrozenScreens::aim(QPoint pixel)
{
    if (FFinished || FAim == pixel)
        return;
    FAim = pixel;
    // What a screen reader says of the frozen frame: the color aimed at.
    const HSLUtils::TColor color = pixelAt(pixel.x(), pixel.y()).color;
    const QString text = QStringLiteral("#%1%2%3")
                             .arg(color & 0xFF, 2, 16, QLatin1Char('0'))
                             .arg((color >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
                             .arg((color >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
                             .toUpper();
    for (const auto& window : FWindows)
        window->setAccessibleDescription(text);
    if (moved)
        moved();
}

// A step stays on the picture's monitors: off them there is nothing to pick.
void FrozenScreens::step(QPoint by)
{
    if (FAim && windowAt(*FAim + by) != nullptr)
        aim(*FAim + by);
}

void FrozenScreens::onKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
        step({-1, 0});
        break;
    case Qt::Key_Right:
        step({1, 0});
        break;
    case Qt::Key_Up:
        step({0, -1});
        break;
    case Qt::Key_Down:
        step({0, 1});
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (FAim) // nothing aimed at yet: nothing to pick
            finish(Outcome::Picked);
        break;
    case Qt::Key_Escape:
        finish(Outcome::Cancelled);
        break;
    default:
        break;
    }
}

void FrozenScreens::onClick(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        finish(Outcome::Picked);
    else if (button == Qt::RightButton)
        finish(Outcome::Cancelled);
}

// The windows go before the answer: the desktop is free again.
void FrozenScreens::finish(Outcome outcome)
{
    if (FFinished)
        return;
    FFinished = true;
    const HSLUtils::TColor color = FAim ? pixelAt(FAim->x(), FAim->y()).color : 0;
    for (const auto& window : FWindows)
        window->hide();
    QTimer::singleShot(0, this, [this, outcome, color] {
        if (finished)
            finished(outcome, color);
    });
}
