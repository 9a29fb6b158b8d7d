#include "platform/portal/PortalCalls.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusPendingCall>
#include <QDBusVariant>

QString PortalRequestPath(const QString& uniqueName, const QString& token)
{
    QString sender = uniqueName;
    sender.remove(0, sender.startsWith(QLatin1Char(':')) ? 1 : 0)
        .replace(QLatin1Char('.'), QLatin1Char('_'));
    return PortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

QString PortalToken()
{
    static quint64 tokens = 0; // one connection may serve several portals
    return QStringLiteral("huvella%1").arg(++tokens);
}

QVariant UnwrappedDBusValue(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

QVariantMap DBusMapOf(const QVariant& value)
{
    const QVariant v = UnwrappedDBusValue(value);
    if (v.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const auto argument = v.value<QDBusArgument>();
        if (argument.currentSignature() != QLatin1String("a{sv}"))
            return {};
        return qdbus_cast<QVariantMap>(argument);
    }
    return v.metaType() == QMetaType::fromType<QVariantMap>() ? v.toMap() : QVariantMap();
}

QDBusConnection PortalBus()
{
    return QDBusConnection::sessionBus();
}

void ClosePortalRequest(const QString& path)
{
    PortalBus().send(QDBusMessage::createMethodCall(PortalService, path, PortalRequestInterface,
                                                    QStringLiteral("Close")));
}

QDBusServiceWatcher* WatchPortalOwner(QObject* parent, std::function<void()> left)
{
    auto* watcher = new QDBusServiceWatcher(PortalService, PortalBus(),
                                            QDBusServiceWatcher::WatchForOwnerChange, parent);
    QObject::connect(
        watcher, &QDBusServiceWatcher::serviceOwnerChanged, parent,
        [left = std::move(left)](const QString&, const QString& oldOwner, const QString&) {
            if (!oldOwner.isEmpty())
                left();
        });
    return watcher;
}

QDBusPendingCall PortalResponses::call(const QString& interface, const QString& method,
                                       QList<QVariant> arguments, QVariantMap options)
{
    const QString token = PortalToken();
    options.insert(QStringLiteral("handle_token"), token);
    listen(PortalRequestPath(PortalBus().baseService(), token));
    QDBusMessage message =
        QDBusMessage::createMethodCall(PortalService, PortalPath, interface, method);
    arguments.append(options);
    message.setArguments(arguments);
    return PortalBus().asyncCall(message);
}

void PortalResponses::listen(const QString& path)
{
    stop();
    FPath = path;
    PortalBus().connect(PortalService, FPath, PortalRequestInterface, QStringLiteral("Response"),
                        FReceiver, FSlot);
}

void PortalResponses::stop()
{
    if (FPath.isEmpty())
        return;
    PortalBus().disconnect(PortalService, FPath, PortalRequestInterface, QStringLiteral("Response"),
                           FReceiver, FSlot);
    FPath.clear();
}

void PortalResponses::close()
{
    if (!FPath.isEmpty())
        ClosePortalRequest(FPath);
    stop();
}
