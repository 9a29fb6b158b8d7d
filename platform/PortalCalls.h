#pragma once
// What every call to the desktop portal shares: its names, the path of the
// Request a call opens, and the values as Qt hands a reply's arguments over.
#include <QString>
#include <QVariant>
#include <QVariantMap>

inline const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString PortalRequestInterface = QStringLiteral("org.freedesktop.portal.Request");

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
