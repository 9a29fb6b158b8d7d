// The portal's Screenshot frozen (run under with-gnome or with-kwin, the
// screenshot permitted): in one run, alternating, the portal's own time from
// the call to its answer, and the picker's time from its start (the click) to
// the frozen frame's first paint done, which includes the portal's answer, the
// PNG's read and decoding, and the windows shown. Medians of 7; the ratio of
// the two.
#include "platform/portal/FrozenScreenWindow.h"
#include "platform/portal/FrozenScreens.h"
#include "platform/portal/PortalCalls.h"
#include "platform/portal/ScreenshotFile.h"
#include "platform/portal/ScreenshotPicker.h"
#include "platform/portal/ScreenshotPortal.h"

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

double FrozenFrameShown()
{
    QEventLoop loop;
    FirstPaint painted(loop);
    ScreenshotPicker picker(nullptr);
    bool failed = false;
    DesktopPicker::Handlers handlers;
    handlers.started = [&] {
        for (const auto& window : picker.screens()->windows())
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
    std::vector<double> portal, frozen;
    raw.take(); // the first call starts what the portal starts once
    for (int i = 0; i < 7; ++i) {
        portal.push_back(raw.take());
        const double shown = FrozenFrameShown();
        if (shown < 0) {
            std::fputs("the portal refused the screenshot: no figure\n", stderr);
            return 1;
        }
        frozen.push_back(shown);
    }
    std::printf("portal's screenshot, call to answer:   %7.1f ms (median of 7)\n", Median(portal));
    std::printf("click to frozen frame shown:           %7.1f ms (median of 7)\n", Median(frozen));
    std::printf("ratio:                                  %6.2f (target at most 1.5)\n",
                Median(frozen) / Median(portal));
    return 0;
}

#include "ScreenshotPickBench.moc"
