#pragma once
// The desktop portal's color picker over D-Bus:
// org.freedesktop.portal.Screenshot.PickColor, answered by the Response
// signal of the request it opens.
#include "platform/ColorPortal.h"
#include "platform/portal/PortalCalls.h"

#include <QObject>
#include <QVariantMap>

class QDBusConnection;
class QDBusMessage;
class QDBusServiceWatcher;

class QtDBusColorPortal final : public QObject, public ColorPortal {
    Q_OBJECT
public:
    // On the session bus, which the first pick connects to: a program that
    // samples live never needs it.
    QtDBusColorPortal() = default;
    ~QtDBusColorPortal() override;

    void pick(const QWindow* parent, Answered answered) override;
    void cancel() override;
    bool isPicking() const override;

    // What a Response(response, results) means: a color only for response 0
    // with a "color" of three doubles, (ddd), each within half a step of 255
    // of 0 to 1; each channel is round(v * 255), ties to even, clamped to 0..255.
    // A pick also fails when the portal leaves the bus before it answers.
    static Answer answerOf(uint response, const QVariantMap& results);

    // The parent_window argument of any portal call: "x11:<id in hex>" on X11
    // (XWayland too), "wayland:<handle>" with the window's exported surface
    // on a compositor that exports, and empty without a window or a handle.
    static QString parentWindowOf(const QWindow* window);

private slots:
    void onResponse(const QDBusMessage& message);

private:
    void callPickColor(quint64 request);
    void watchPortal();
    void finish(const Answer& answer);
    void finishLater(const Answer& answer);
    static QDBusConnection bus();

    Answered FAnswered; // empty while no pick is open
    QString FParent;
    PortalResponses FResponses{this, SLOT(onResponse(QDBusMessage))};
    quint64 FRequests = 0; // numbers the picks: replies to an earlier one are dropped
    QDBusServiceWatcher* FPortalWatch = nullptr; // made at the first pick
};
