#pragma once
// What every call to the desktop portal shares: its names and bus, the path of the
// Request a call opens, and the values as Qt hands a reply's arguments over.
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>

class QDBusConnection;
class QDBusServiceWatcher;
class QDBusPendingCall;
class QObject;

inline const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString PortalRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
// The color pick and the screenshot.
inline const QString PortalScreenshotInterface =
    QStringLiteral("org.freedesktop.portal.Screenshot");

// The Request path the portal will use for a call given `token` as its
// handle_token: the caller's unique name without its ':' and with '.' as '_'.
QString PortalRequestPath(const QString& uniqueName, const QString& token);

// A fresh handle_token, unique in this process.
QString PortalToken();

// A D-Bus value with its variant wrappings taken off: containers stay
// QDBusArgument.
QVariant UnwrappedDBusValue(QVariant value);

// An a{sv} as a map, whether Qt demarshalled it already or not; empty for
// anything else.
QVariantMap DBusMapOf(const QVariant& value);

// The bus the portal is reached on: the session's.
QDBusConnection PortalBus();

// Asks the portal to close the Request at `path`.
void ClosePortalRequest(const QString& path);

// Watches the portal's name, as `parent`'s child: `left` runs when the portal
// that held it leaves the bus or hands the name to another (what
// xdg-desktop-portal --replace does). Either way every Request and session it
// had open is gone and will never answer. The name taken where nobody held it
// (the first call starting the portal) is no leaving.
QDBusServiceWatcher* WatchPortalOwner(QObject* parent, std::function<void()> left);

// Where a portal client waits for its Request's Response: one path at a time,
// delivered to `slot` (taking a QDBusMessage) of `receiver`.
class PortalResponses {
public:
    PortalResponses(QObject* receiver, const char* slot) : FReceiver(receiver), FSlot(slot) {}

    // Calls `method` of the portal's `interface` with `arguments` and then
    // `options` given a fresh handle_token, listening at the Request's path
    // first: an answer that comes at once is not missed. The reply names the
    // path the portal chose, which an older portal makes up itself.
    QDBusPendingCall call(const QString& interface, const QString& method,
                          QList<QVariant> arguments, QVariantMap options);
    // Listens at `path` instead of wherever it listened before.
    void listen(const QString& path);
    // Listens nowhere.
    void stop();
    // Closes the Request listened to, if any, and stops listening.
    void close();
    // The path listened to; empty when none.
    const QString& path() const { return FPath; }

private:
    QObject* FReceiver;
    const char* FSlot;
    QString FPath;
};
