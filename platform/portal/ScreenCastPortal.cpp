#include "platform/portal/ScreenCastPortal.h"

#include "platform/portal/PortalCalls.h"
#include "platform/portal/QtDBusColorPortal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QTimer>
#include <fcntl.h>

namespace {

const QString ScreenCastInterface = QStringLiteral("org.freedesktop.portal.ScreenCast");
const QString SessionInterface = QStringLiteral("org.freedesktop.portal.Session");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr uint MonitorSource = 1;
constexpr uint PersistWhileRunning = 1;
constexpr uint Cancelled = 1;
// The longest restore token kept. The frontend makes its own, a UUID of 36
// characters; one of megabytes would be held and sent back at every pick.
constexpr qsizetype MaxRestoreToken = 4096;

std::optional<QPoint> pairOf(const QVariant& value)
{
    const QVariant v = UnwrappedDBusValue(value);
    if (v.metaType() != QMetaType::fromType<QDBusArgument>())
        return std::nullopt;
    const auto argument = v.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(ii)"))
        return std::nullopt;
    int x = 0, y = 0;
    argument.beginStructure();
    argument >> x >> y;
    argument.endStructure();
    return QPoint(x, y);
}

// Start's "streams", a(ua{sv}): a node id with the monitor's position and
// size each. Nothing at all for anything else.
std::vector<ScreenCastDesktop::Stream> streamsOf(const QVariant& value)
{
    const QVariant v = UnwrappedDBusValue(value);
    if (v.metaType() != QMetaType::fromType<QDBusArgument>())
        return {};
    const auto argument = v.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(ua{sv})"))
        return {};
    std::vector<ScreenCastDesktop::Stream> streams;
    argument.beginArray();
    while (!argument.atEnd()) {
        uint node = 0;
        QVariantMap properties;
        argument.beginStructure();
        argument >> node >> properties;
        argument.endStructure();
        const auto position = properties.contains(QStringLiteral("position"))
                                  ? pairOf(properties.value(QStringLiteral("position")))
                                  : std::optional<QPoint>(QPoint());
        const auto size = pairOf(properties.value(QStringLiteral("size")));
        if (!position)
            return {};
        streams.push_back({node, *position, size ? QSize(size->x(), size->y()) : QSize()});
    }
    argument.endArray();
    return streams;
}

} // namespace

QDBusConnection ScreenCastPortal::bus()
{
    return PortalBus();
}

ScreenCastPortal::~ScreenCastPortal()
{
    close();
}

bool ScreenCastPortal::offersCursorMetadata()
{
    if (!bus().isConnected())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        PortalService, PortalPath, PropertiesInterface, QStringLiteral("GetAll"));
    get << ScreenCastInterface;
    const QDBusMessage reply = bus().call(get, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return false;
    return sendsPointer(DBusMapOf(reply.arguments().at(0)));
}

bool ScreenCastPortal::sendsPointer(const QVariantMap& properties)
{
    const QVariant version = UnwrappedDBusValue(properties.value(QStringLiteral("version")));
    const QVariant modes =
        UnwrappedDBusValue(properties.value(QStringLiteral("AvailableCursorModes")));
    return version.metaType() == QMetaType::fromType<uint>() &&
           version.toUInt() >= CursorMetadataVersion &&
           modes.metaType() == QMetaType::fromType<uint>() &&
           (modes.toUInt() & MetadataCursorMode) != 0;
}

void ScreenCastPortal::open(const QWindow* parent, Handlers handlers)
{
    close();
    FHandlers = std::move(handlers);
    FOpen = true;
    ++FSessions;
    FParent = QtDBusColorPortal::parentWindowOf(parent);
    FStreams.clear();
    if (!bus().isConnected()) {
        refuseLater(false);
        return;
    }
    // A portal that leaves, or hands its name on, while a request is under way
    // will never answer it (a share dialog left open by a frontend that died).
    if (FPortalWatch == nullptr)
        FPortalWatch = WatchPortalOwner(this, [this] {
            if (FOpen && !granted())
                refuse(false);
        });
    checkInterface();
}

// The interface must cast with the pointer as metadata: a portal that cannot
// would share monitors whose pointer no tick could find.
void ScreenCastPortal::checkInterface()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        PortalService, PortalPath, PropertiesInterface, QStringLiteral("GetAll"));
    get << ScreenCastInterface;
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, session = FSessions](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (session != FSessions || !FOpen)
                    return;
                const QDBusPendingReply<QVariantMap> reply = *call;
                if (reply.isError() || !sendsPointer(reply.value())) {
                    refuse(false);
                    return;
                }
                createSession();
            });
}

void ScreenCastPortal::createSession()
{
    request(QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), PortalToken()}},
            [this](uint response, const QVariantMap& results) {
                const QVariant handle =
                    UnwrappedDBusValue(results.value(QStringLiteral("session_handle")));
                FSession = handle.metaType() == QMetaType::fromType<QDBusObjectPath>()
                               ? handle.value<QDBusObjectPath>().path()
                               : handle.toString();
                if (response != 0 || FSession.isEmpty()) {
                    refuse(response == Cancelled);
                    return;
                }
                bus().connect(PortalService, FSession, SessionInterface, QStringLiteral("Closed"),
                              this, SLOT(onClosed(QDBusMessage)));
                selectSources();
            });
}

void ScreenCastPortal::selectSources()
{
    QVariantMap options{
        {QStringLiteral("types"), MonitorSource},
        {QStringLiteral("multiple"), true},
        {QStringLiteral("cursor_mode"), MetadataCursorMode},
        {QStringLiteral("persist_mode"), PersistWhileRunning},
    };
    if (!FRestoreToken.isEmpty())
        options.insert(QStringLiteral("restore_token"), FRestoreToken);
    request(QStringLiteral("SelectSources"), {QVariant::fromValue(QDBusObjectPath(FSession))},
            options, [this](uint response, const QVariantMap&) {
                if (response != 0) {
                    refuse(response == Cancelled);
                    return;
                }
                startSession();
            });
}

void ScreenCastPortal::startSession()
{
    request(QStringLiteral("Start"), {QVariant::fromValue(QDBusObjectPath(FSession)), FParent}, {},
            [this](uint response, const QVariantMap& results) {
                if (response != 0) {
                    refuse(response == Cancelled);
                    return;
                }
                FStreams = streamsOf(results.value(QStringLiteral("streams")));
                if (FStreams.empty()) {
                    refuse(false);
                    return;
                }
                const QVariant token =
                    UnwrappedDBusValue(results.value(QStringLiteral("restore_token")));
                if (token.metaType() == QMetaType::fromType<QString>())
                    FRestoreToken = token.toString().size() <= MaxRestoreToken
                                        ? token.toString()
                                        : QString(); // the next pick asks again
                openRemote();
            });
}

void ScreenCastPortal::openRemote()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        PortalService, PortalPath, ScreenCastInterface, QStringLiteral("OpenPipeWireRemote"));
    call << QVariant::fromValue(QDBusObjectPath(FSession)) << QVariantMap();
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, session = FSessions](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (session != FSessions || !FOpen)
                    return;
                const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *call;
                const int fd = reply.isError() || !reply.value().isValid()
                                   ? -1
                                   : fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 3);
                if (fd < 0) {
                    refuse(false);
                    return;
                }
                if (FHandlers.granted)
                    FHandlers.granted({fd, FStreams});
                else
                    ::close(fd);
            });
}

// A Request call: Response is listened for on the expected path before the
// call, so that an answer that comes at once is not missed.
void ScreenCastPortal::request(const QString& method, QList<QVariant> arguments,
                               QVariantMap options, Answered answered)
{
    FAnswered = std::move(answered);
    const QDBusPendingCall pending =
        FResponses.call(ScreenCastInterface, method, std::move(arguments), std::move(options));
    const QString expected = FResponses.path();
    FExpected = expected;
    auto* watcher = new QDBusPendingCallWatcher(pending, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, expected, session = FSessions](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *call;
                const QString handle = reply.isError() ? QString() : reply.value().path();
                if (session != FSessions || !FOpen) {
                    if (!handle.isEmpty() && handle != expected)
                        ClosePortalRequest(handle);
                    return;
                }
                // The reply may come after the request's Response, when the
                // next call is under way: it must not take the listening away
                // from that call's Request.
                if (expected != FExpected)
                    return;
                if (reply.isError()) {
                    refuse(false);
                    return;
                }
                if (handle != FResponses.path() && FAnswered)
                    FResponses.listen(handle); // an older portal makes up its own path
            });
}

void ScreenCastPortal::onResponse(const QDBusMessage& message)
{
    if (!FOpen || message.path() != FResponses.path() || !FAnswered)
        return;
    FResponses.stop();
    const Answered answered = std::move(FAnswered);
    FAnswered = nullptr;
    const QList<QVariant> arguments = message.arguments();
    if (message.signature() != QLatin1String("ua{sv}") || arguments.size() != 2) {
        refuse(false);
        return;
    }
    answered(arguments.at(0).toUInt(), DBusMapOf(arguments.at(1)));
}

void ScreenCastPortal::onClosed(const QDBusMessage& message)
{
    if (!FOpen || message.path() != FSession)
        return;
    // Closed already: not to be closed again.
    bus().disconnect(PortalService, FSession, SessionInterface, QStringLiteral("Closed"), this,
                     SLOT(onClosed(QDBusMessage)));
    FSession.clear();
    const Handlers handlers = FHandlers;
    const bool wasGranted = granted();
    close();
    if (wasGranted) {
        if (handlers.closed)
            handlers.closed();
    } else if (handlers.refused) {
        handlers.refused(false);
    }
}

bool ScreenCastPortal::granted() const
{
    return FAnswered == nullptr && FResponses.path().isEmpty() && !FStreams.empty();
}

void ScreenCastPortal::refuse(bool cancelled)
{
    const Handlers handlers = FHandlers;
    close();
    if (handlers.refused)
        handlers.refused(cancelled);
}

void ScreenCastPortal::refuseLater(bool cancelled)
{
    QTimer::singleShot(0, this, [this, cancelled, session = FSessions] {
        if (session == FSessions && FOpen)
            refuse(cancelled);
    });
}

void ScreenCastPortal::close()
{
    if (!FOpen)
        return;
    FOpen = false;
    ++FSessions; // whatever is still under way for this session is dropped
    FResponses.close();
    FAnswered = nullptr;
    FExpected.clear();
    if (!FSession.isEmpty()) {
        bus().disconnect(PortalService, FSession, SessionInterface, QStringLiteral("Closed"), this,
                         SLOT(onClosed(QDBusMessage)));
        bus().send(QDBusMessage::createMethodCall(PortalService, FSession, SessionInterface,
                                                  QStringLiteral("Close")));
        FSession.clear();
    }
    FHandlers = {};
    FStreams.clear();
}
