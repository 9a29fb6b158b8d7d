// The portal's Screenshot frozen (run under with-gnome or with-kwin, the
// screenshot permitted): in one run, alternating, the portal's own time from
// the call to its answer, and the picker's time from its start (the click) to
// the frozen frame shown, which includes the portal's answer, the PNG's read
// and decoding, and the frame put up: on the program's own Wayland surfaces
// (huvella --pick), up once every output's toplevel has its picture committed,
// and in the toolkit's windows (the window's pick), up at their first paint
// done. Medians of 7; the ratios to the portal's time.
#include "platform/portal/FrozenScreenWindow.h"
#include "platform/portal/FrozenScreens.h"
#include "platform/portal/PortalCalls.h"
#include "platform/portal/ScreenshotFile.h"
#include "platform/portal/ScreenshotPicker.h"
#include "platform/portal/ScreenshotPortal.h"
#include "platform/wlroots/WlrootsOverlay.h"

#include <QApplication>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The portal's own time: the call to the Response, nothing read or shown. The
// file it names is taken all the same.
class RawShot : public QObject {
    Q_OBJECT
public:
    double take()
    {
        QElapsedTimer clock;
        clock.start();
        FResponses.call(PortalScreenshotInterface, QStringLiteral("Screenshot"), {QString()},
                        {{QStringLiteral("interactive"), false}});
        QTimer bound;
        QObject::connect(&bound, &QTimer::timeout, &FLoop, &QEventLoop::quit);
        bound.start(60000);
        FLoop.exec();
        const double ms = clock.nsecsElapsed() / 1e6;
        FResponses.stop();
        TakeScreenshotFile(FUri);
        return ms;
    }

public slots:
    void onResponse(const QDBusMessage& message)
    {
        const QVariantMap results = DBusMapOf(message.arguments().value(1));
        FUri = ScreenshotPortal::uriOf(message.arguments().value(0).toUInt(), results);
        FLoop.quit();
    }

private:
    QEventLoop FLoop;
    QString FUri;
    PortalResponses FResponses{this, SLOT(onResponse(QDBusMessage))};
};

class FirstPaint : public QObject {
public:
    explicit FirstPaint(QEventLoop& loop) : FLoop(loop) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, &FLoop, &QEventLoop::quit); // once the paint is done
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& FLoop;
};

double FrozenFrameShown(bool ownSurfaces)
{
    QEventLoop loop;
    FirstPaint painted(loop);
    ScreenshotPicker picker(nullptr, ownSurfaces ? FrozenDesktop::Show(&WlrootsOverlay::showPicture)
                                                 : FrozenDesktop::Show());
    bool failed = false;
    DesktopPicker::Handlers handlers;
    handlers.started = [&] {
        if (ownSurfaces) {
            loop.quit();
            return;
        }
        for (const auto& window : static_cast<FrozenScreens*>(picker.screens())->windows())
            window->installEventFilter(&painted);
    };
    handlers.ended = [&](const DesktopPicker::Ending&) {
        failed = true;
        loop.quit();
    };
    QElapsedTimer clock;
    clock.start();
    picker.start(nullptr, std::move(handlers));
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    picker.stop();
    return failed ? -1 : ms;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RawShot raw;
    std::vector<double> portal, own, windows;
    raw.take(); // the first call starts what the portal starts once
    for (int i = 0; i < 7; ++i) {
        portal.push_back(raw.take());
        const double onOwn = FrozenFrameShown(true);
        const double inWindows = FrozenFrameShown(false);
        if (onOwn < 0 || inWindows < 0) {
            std::fputs("the portal refused the screenshot: no figure\n", stderr);
            return 1;
        }
        own.push_back(onOwn);
        windows.push_back(inWindows);
    }
    const double shot = Median(portal);
    std::printf("portal's screenshot, call to answer:   %7.1f ms (median of 7)\n", shot);
    std::printf("click to frozen frame, own surfaces:   %7.1f ms (ratio %.2f; target at most 1.5)\n",
                Median(own), Median(own) / shot);
    std::printf("click to frozen frame, Qt's windows:   %7.1f ms (ratio %.2f)\n", Median(windows),
                Median(windows) / shot);
    return 0;
}

#include "ScreenshotPickBench.moc"
