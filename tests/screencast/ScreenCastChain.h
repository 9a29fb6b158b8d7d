#pragma once
// The test's side of the screen-cast chain (tests/support/with-fake-portal
// --frontend --pipewire): monitors that are test sources of ours
// (screencast-source), and the stand-in portal backend's controls.
#include "ScreenCastPattern.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

// One shared monitor: a PipeWire video source sending the pattern of source
// `number`, placed at `position` on the desktop.
class TestMonitor {
public:
    TestMonitor(const QString& format, QSize size, QPoint position, int number)
        : FSize(size), FPosition(position), FNumber(number)
    {
        FProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        FProcess.start(QStringLiteral(HUVELLA_SCREENCAST_SOURCE),
                       {format, QString::number(size.width()), QString::number(size.height()),
                        QString::number(number)});
        const QByteArray line = readLine();
        if (line.startsWith("node "))
            FNode = line.mid(5).trimmed().toUInt();
    }
    ~TestMonitor() { vanish(); }

    quint32 node() const { return FNode; }
    QRect rect() const { return {FPosition, FSize}; }
    QSize size() const { return FSize; }
    QPoint position() const { return FPosition; } // where the portal says it is
    int number() const { return FNumber; }

    // Sends one buffer ("frame X Y", "pointer X Y", "corrupt X Y", "off"), and
    // waits until it has left the source.
    bool send(const QString& command)
    {
        FProcess.write(command.toLatin1() + '\n');
        const QByteArray line = readLine();
        return line.startsWith("sent ");
    }

    // The source goes away, as when the compositor's stream ends.
    void vanish()
    {
        if (FProcess.state() == QProcess::NotRunning)
            return;
        FProcess.kill();
        FProcess.waitForFinished(5000);
    }

    // The desktop color the pattern has at desktop point `at` of this monitor.
    std::int32_t colorAt(QPoint at) const
    {
        return PatternColorAt(at.x() - FPosition.x(), at.y() - FPosition.y(), FNumber);
    }

private:
    QByteArray readLine()
    {
        if (!QTest::qWaitFor([this] { return FProcess.canReadLine(); }, 10000))
            return {};
        return FProcess.readLine();
    }

    QProcess FProcess;
    QSize FSize;
    QPoint FPosition;
    int FNumber;
    quint32 FNode = 0;
};

// The stand-in backend of the portal (fake_portal.py backend).
namespace StandIn {

inline QDBusMessage control(const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.huvella.test.FakePortal"), QStringLiteral("/org/huvella/test"),
        QStringLiteral("org.huvella.test.FakePortal"), method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call);
}

// Start shares these monitors, with their nodes and places.
inline void share(const std::vector<const TestMonitor*>& monitors)
{
    QStringList list;
    for (const TestMonitor* m : monitors)
        list << QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(m->node())
                    .arg(m->position().x())
                    .arg(m->position().y())
                    .arg(m->size().width())
                    .arg(m->size().height());
    control(QStringLiteral("Monitors"), {list.join(QLatin1Char(';'))});
}

// What the backend was called with since the last script.
inline QStringList calls()
{
    const QDBusMessage reply = control(QStringLiteral("Calls"));
    return reply.arguments().isEmpty() ? QStringList() : reply.arguments().at(0).toStringList();
}

inline void script(const QString& name)
{
    control(QStringLiteral("Script"), {name});
}

} // namespace StandIn
