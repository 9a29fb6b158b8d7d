#include "platform/portal/QtDBusColorPortal.h"

#include "platform/ExportedWaylandHandle.h"
#include "platform/portal/PortalCalls.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// PickColor came with version 2 of the Screenshot interface.
constexpr uint PickColorVersion = 2;

using Kind = ColorPortal::Answer::Kind;
const ColorPortal::Answer Failed{Kind::Failed, 0};

// A channel from 0 to 1. Rounding noise just outside (1.0000001) is clamped;
// a value more than half a step of 255 outside is no channel but malformed
// data, and (1e308, -1e308, 5e-324) no color at all.
std::optional<int> channelOf(double v)
{
    constexpr double HalfStep = 1.0 / 510;
    if (!std::isfinite(v) || v < -HalfStep || v > 1 + HalfStep)
        return std::nullopt;
    return static_cast<int>(std::clamp(std::nearbyint(v * 255.0), 0.0, 255.0));
}

std::optional<HSLUtils::TColor> colorOf(const QVariant& value)
{
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return std::nullopt;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(ddd)"))
        return std::nullopt;
    double red = 0, green = 0, blue = 0;
    argument.beginStructure();
    argument >> red >> green >> blue;
    argument.endStructure();
    const auto r = channelOf(red), g = channelOf(green), b = channelOf(blue);
    if (!r || !g || !b)
        return std::nullopt;
    return *r | *g << 8 | *b << 16;
}

} // namespace

QDBusConnection QtDBusColorPortal::bus()
{
    return PortalBus();
}

// Leaving with a pick open: the desktop's picker is closed too.
QtDBusColorPortal::~QtDBusColorPortal()
{
    if (isPicking())
        cancel();
}

bool QtDBusColorPortal::isPicking() const
{
    return static_cast<bool>(FAnswered);
}

QString QtDBusColorPortal::parentWindowOf(const QWindow* window)
{
    if (window == nullptr)
        return {};
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return QStringLiteral("x11:") + QString::number(window->winId(), 16);
    const QString handle = ExportedWaylandHandle(window);
    return handle.isEmpty() ? QString() : QStringLiteral("wayland:") + handle;
}

ColorPortal::Answer QtDBusColorPortal::answerOf(uint response, const QVariantMap& results)
{
    if (response == 1)
        return {Kind::Cancelled, 0};
    if (response != 0)
        return Failed;
    const auto color = colorOf(UnwrappedDBusValue(results.value(QStringLiteral("color"))));
    return color ? Answer{Kind::Color, *color} : Failed;
}

// First the interface's version, which also starts a portal that the bus
// activates; then the call.
void QtDBusColorPortal::pick(const QWindow* parent, Answered answered)
{
    if (isPicking())
        cancel();
    FAnswered = std::move(answered);
    FParent = parentWindowOf(parent);
    const quint64 request = ++FRequests;
    if (!bus().isConnected()) {
        finishLater(Failed);
        return;
    }
    watchPortal();
    QDBusMessage get = QDBusMessage::createMethodCall(
        PortalService, PortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << PortalScreenshotInterface << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, request](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (request != FRequests || !isPicking())
                    return; // cancelled meanwhile
                const QDBusPendingReply<QDBusVariant> reply = *call;
                const QVariant version =
                    reply.isError() ? QVariant() : UnwrappedDBusValue(reply.value().variant());
                if (version.metaType() != QMetaType::fromType<uint>() ||
                    version.toUInt() < PickColorVersion) {
                    finish(Failed);
                    return;
                }
                callPickColor(request);
            });
}

// Response is listened for on the expected path before the call, so that an
// answer that comes at once is not missed.
void QtDBusColorPortal::callPickColor(quint64 request)
{
    const QDBusPendingCall pending =
        FResponses.call(PortalScreenshotInterface, QStringLiteral("PickColor"), {FParent}, {});
    const QString expected = FResponses.path();
    auto* watcher = new QDBusPendingCallWatcher(pending, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, request, expected](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *call;
                const QString handle = reply.isError() ? QString() : reply.value().path();
                if (request != FRequests || !isPicking()) {
                    // Closed before the portal said where: the expected path
                    // is closed already, a path of the portal's own is not.
                    if (!handle.isEmpty() && handle != expected)
                        ClosePortalRequest(handle);
                    return;
                }
                if (reply.isError()) {
                    finish(Failed);
                    return;
                }
                if (handle != FResponses.path())
                    FResponses.listen(handle); // an older portal makes up its own path
            });
}

// A portal that leaves the bus, or hands its name to another, with a pick open
// will never answer it: the pick fails then, rather than waiting for ever.
// Watched from the first call on, which may be what starts the portal.
void QtDBusColorPortal::watchPortal()
{
    if (FPortalWatch != nullptr)
        return;
    FPortalWatch = WatchPortalOwner(this, [this] {
        if (isPicking())
            finish(Failed);
    });
}

void QtDBusColorPortal::onResponse(const QDBusMessage& message)
{
    if (!isPicking() || message.path() != FResponses.path())
        return;
    const QList<QVariant> arguments = message.arguments();
    if (message.signature() != QLatin1String("ua{sv}") || arguments.size() != 2) {
        finish(Failed);
        return;
    }
    finish(answerOf(arguments.at(0).toUInt(), DBusMapOf(arguments.at(1))));
}

void QtDBusColorPortal::cancel()
{
    if (!isPicking())
        return;
    FResponses.close();
    FAnswered = nullptr;
    ++FRequests; // whatever is still under way for this pick is dropped
}

void QtDBusColorPortal::finish(const Answer& answer)
{
    FResponses.stop();
    const Answered answered = std::move(FAnswered);
    FAnswered = nullptr;
    answered(answer);
}

void QtDBusColorPortal::finishLater(const Answer& answer)
{
    QTimer::singleShot(0, this, [this, answer, request = FRequests] {
        if (request == FRequests && isPicking())
            finish(answer);
    });
}
