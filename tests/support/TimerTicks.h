#pragma once
// Waiting on a timer's own ticks rather than on the clock.
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// Waits until `timer` has fired `ticks` more times, what was connected to it
// before having run each time; false if it stops firing.
inline bool WaitForTicks(const QTimer* timer, int ticks)
{
    QSignalSpy spy(timer, &QTimer::timeout);
    return QTest::qWaitFor([&] { return spy.count() >= ticks; }, 10000);
}
