#include "platform/portal/ScreenshotPortal.h"

#include "platform/portal/ScreenshotFile.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QMap>
#include <QStringList>
#include <QThread>
#include <QTimer>

namespace {

const QString PermissionStore = QStringLiteral("org.freedesktop.impl.portal.PermissionStore");
const QString PermissionStorePath = QStringLiteral("/org/freedesktop/impl/portal/PermissionStore");

// GNOME's question closes with a fade of a few frames; a picture taken before it
// ends shows it.
constexpr int QuestionFadeMs = 600;
// How long a program that closes with a call under way waits for the answer,
// to delete the file it names.
constexpr int LeftoverPatienceMs = 3000;

} // namespace

ScreenshotPortal::ScreenshotPortal() = default;

// The answers still to come name files that only this program would delete:
// they are waited for a while, delivered to this object alone (the rest of
// the program is going away).
ScreenshotPortal::~ScreenshotPortal()
{
    cancel();
    const QDeadlineTimer deadline(LeftoverPatienceMs);
    while (!FLeftovers.empty() && !deadline.hasExpired()) {
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        if (!FLeftovers.empty())
            QThread::msleep(5);
    }
    for (PortalResponses& leftover : FLeftovers)
        leftover.close();
}

QString ScreenshotPortal::uriOf(uint response, const QVariantMap& results)
{
    if (response != 0)
        return {};
    const QVariant uri = UnwrappedDBusValue(results.value(QStringLiteral("uri")));
    return uri.metaType() == QMetaType::fromType<QString>() ? uri.toString() : QString();
}

QImage ScreenshotPortal::pictureOf(const QString& uri)
{
    const std::optional<QByteArray> bytes = TakeScreenshotFile(uri);
    if (!bytes)
        return {};
    QImage picture = QImage::fromData(*bytes, "PNG");
    if (picture.isNull())
        return {};
    return picture.convertToFormat(QImage::Format_RGB32);
}

bool ScreenshotPortal::grantsScreenshots(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    const QVariant table = UnwrappedDBusValue(reply.arguments().at(0));
    if (table.metaType() != QMetaType::fromType<QDBusArgument>())
        return false;
    const auto argument = table.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a{sas}"))
        return false;
    const auto permissions = qdbus_cast<QMap<QString, QStringList>>(argument);
    return permissions.value(QString()).contains(QStringLiteral("yes"));
}

void ScreenshotPortal::take(const QString& parentWindow, Taken taken)
{
    cancel();
    FTaken = std::move(taken);
    FParent = parentWindow;
    FGrantedBefore = false;
    FTakenAgain = false;
    const quint64 request = ++FRequests;
    if (!PortalBus().isConnected()) {
        finishLater();
        return;
    }
    watchPortal();
    // Asked beside the call: the store answers long before any question is.
    lookUpPermission([this, request](bool granted) {
        if (request == FRequests)
            FGrantedBefore = granted;
    });
    call(request);
}

void ScreenshotPortal::lookUpPermission(std::function<void(bool)> answered)
{
    QDBusMessage lookup = QDBusMessage::createMethodCall(PermissionStore, PermissionStorePath,
                                                         PermissionStore, QStringLiteral("Lookup"));
    lookup << QStringLiteral("screenshot") << QStringLiteral("screenshot");
    auto* watcher = new QDBusPendingCallWatcher(PortalBus().asyncCall(lookup, 2000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [answered = std::move(answered)](QDBusPendingCallWatcher* reply) {
                reply->deleteLater();
                answered(grantsScreenshots(reply->reply()));
            });
}

// Listened for before the call: a stored Deny answers at once.
void ScreenshotPortal::call(quint64 request)
{
    const QDBusPendingCall pending =
        FResponses.call(PortalScreenshotInterface, QStringLiteral("Screenshot"), {FParent},
                        {{QStringLiteral("interactive"), false}});
    auto* watcher = new QDBusPendingCallWatcher(pending, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, request](QDBusPendingCallWatcher* reply) {
                reply->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> handle = *reply;
                if (request != FRequests || !isTaking())
                    return; // given up: the expected path is heard as a leftover
                if (handle.isError()) {
                    finish({});
                    return;
                }
                // An older portal makes up a path of its own.
                if (handle.value().path() != FResponses.path())
                    FResponses.listen(handle.value().path());
            });
}

void ScreenshotPortal::onResponse(const QDBusMessage& message)
{
    if (message.path() != FResponses.path())
        return;
    FResponses.stop();
    const QList<QVariant> arguments = message.arguments();
    QImage picture;
    if (message.signature() == QLatin1String("ua{sv}") && arguments.size() == 2)
        picture = pictureOf(uriOf(arguments.at(0).toUInt(), DBusMapOf(arguments.at(1))));
    if (isTaking())
        answered(picture);
}

void ScreenshotPortal::answered(const QImage& picture)
{
    if (picture.isNull() || FGrantedBefore || FTakenAgain) {
        finish(picture);
        return;
    }
    // Not granted before this call: was the question just answered Allow?
    const quint64 request = FRequests;
    lookUpPermission([this, request, picture](bool granted) {
        if (request != FRequests || !isTaking())
            return;
        if (!granted) {
            finish(picture); // no question here (KDE): the picture is clean
            return;
        }
        FTakenAgain = true;
        QTimer::singleShot(QuestionFadeMs, this, [this, request] {
            if (request == FRequests && isTaking())
                call(request);
        });
    });
}

void ScreenshotPortal::onLeftoverResponse(const QDBusMessage& message)
{
    const QList<QVariant> arguments = message.arguments();
    if (message.signature() == QLatin1String("ua{sv}") && arguments.size() == 2)
        pictureOf(uriOf(arguments.at(0).toUInt(), DBusMapOf(arguments.at(1))));
    leave(message.path());
}

void ScreenshotPortal::leave(const QString& path)
{
    FLeftovers.remove_if([&](PortalResponses& leftover) {
        if (leftover.path() != path)
            return false;
        leftover.stop();
        return true;
    });
}

void ScreenshotPortal::cancel()
{
    if (!isTaking())
        return;
    if (!FResponses.path().isEmpty()) {
        FLeftovers.emplace_back(this, SLOT(onLeftoverResponse(QDBusMessage)));
        FLeftovers.back().listen(FResponses.path());
        FResponses.stop();
    }
    FTaken = nullptr;
    ++FRequests;
}

void ScreenshotPortal::finish(const QImage& picture)
{
    FResponses.stop();
    const Taken taken = std::move(FTaken);
    FTaken = nullptr;
    taken(picture);
}

void ScreenshotPortal::finishLater()
{
    QTimer::singleShot(0, this, [this, request = FRequests] {
        if (request == FRequests && isTaking())
            finish({});
    });
}

// A portal that leaves the bus, or hands its name to another (as
// xdg-desktop-portal --replace does), will answer nothing: the call fails then.
void ScreenshotPortal::watchPortal()
{
    if (FPortalWatch != nullptr)
        return;
    FPortalWatch = WatchPortalOwner(this, [this] {
        for (PortalResponses& leftover : FLeftovers)
            leftover.stop();
        FLeftovers.clear();
        if (isTaking())
            finish({});
    });
}
