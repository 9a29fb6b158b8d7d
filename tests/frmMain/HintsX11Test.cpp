// On a real X server with the real pointer: a button's hint shows after the
// pointer has rested 500 ms, hides 2500 ms later, and hides at once when the
// pointer leaves; the next button's hint needs its own rest. Times are taken
// from the events themselves as the application receives them, so that a busy
// machine delays the test, not its verdict.
#include "TestPlatform.h"
#include "app/StartUp.h"
#include "frmMain/TButton.h"
#include "frmMain/TEdit.h"
#include "frmMain/TForm1.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

// Qt's hint window, one at a time.
bool IsHintLabel(const QObject* object)
{
    return object->objectName() == QLatin1String("qtooltip_label");
}

// The pointer's events on the window's controls and the hint's showing and
// hiding, each with the time it arrived.
class HintEvents : public QObject {
public:
    struct Entry {
        qint64 ms;
        QEvent::Type type;
        const QObject* target; // a control; null for the hint
        QString hint;          // the hint's text when it shows
    };

    HintEvents()
    {
        FClock.start();
        qApp->installEventFilter(this);
    }
    ~HintEvents() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
            if (IsHintLabel(watched)) {
                const auto* label = qobject_cast<const QLabel*>(watched);
                FEntries.push_back({FClock.elapsed(), event->type(), nullptr,
                                    label != nullptr ? label->text() : QString()});
            }
            break;
        case QEvent::MouseMove:
        case QEvent::Leave:
        case QEvent::ToolTip:
            if (watched->isWidgetType() && !IsHintLabel(watched))
                FEntries.push_back({FClock.elapsed(), event->type(), watched, {}});
            break;
        default:
            break;
        }
        return false;
    }

    // The first entry after `from` of this type and target (null: the hint).
    std::optional<Entry> next(QEvent::Type type, const QObject* target, size_t from = 0) const
    {
        for (size_t i = from; i < FEntries.size(); ++i)
            if (FEntries[i].type == type && FEntries[i].target == target)
                return FEntries[i];
        return std::nullopt;
    }

    // Waits for the next hint to show or hide, after the entries seen so far.
    std::optional<Entry> waitForHint(QEvent::Type type)
    {
        const size_t from = FSeen;
        if (!QTest::qWaitFor([&] { return next(type, nullptr, from).has_value(); }, 10000))
            return std::nullopt;
        FSeen = FEntries.size();
        return next(type, nullptr, from);
    }

    // The last pointer move on any control before `ms`: the rest starts there.
    qint64 lastMoveBefore(qint64 ms) const
    {
        qint64 last = -1;
        for (const Entry& e : FEntries)
            if (e.type == QEvent::MouseMove && e.ms <= ms)
                last = e.ms;
        return last;
    }

    size_t size() const { return FEntries.size(); }

private:
    QElapsedTimer FClock;
    std::vector<Entry> FEntries;
    size_t FSeen = 0;
};

} // namespace

TEST(Hints, ShowAfterRestHideAfterTimeOrOnLeaving)
{
    ConfigureApplication(*qApp);
    TestPlatform doubles;
    TForm1 form(doubles.platform);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    HintEvents events;

    QCursor::setPos(form.btn5->mapToGlobal(QPoint(20, 12)));
    const auto shown = events.waitForHint(QEvent::Show);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->hint, "Clear all fields");
    ASSERT_TRUE(events.next(QEvent::MouseMove, form.btn5));
    EXPECT_GE(shown->ms - events.lastMoveBefore(shown->ms), 450)
        << "the hint came before the pointer had rested 500 ms";
    const auto hidden = events.waitForHint(QEvent::Hide);
    ASSERT_TRUE(hidden);
    EXPECT_GE(hidden->ms - shown->ms, 2300) << "the hint went before its 2500 ms";
    EXPECT_LE(hidden->ms - shown->ms, 4000);

    // Resting again on the same button shows nothing new until the pointer moves;
    // moving to the next button needs a fresh rest there.
    QCursor::setPos(form.btn5->mapToGlobal(QPoint(25, 12)));
    const auto again = events.waitForHint(QEvent::Show);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->hint, "Clear all fields");
    const size_t beforeLeaving = events.size();
    QCursor::setPos(form.btn7->mapToGlobal(QPoint(20, 12)));
    const auto gone = events.waitForHint(QEvent::Hide);
    const auto left = events.next(QEvent::Leave, form.btn5, beforeLeaving);
    ASSERT_TRUE(gone);
    ASSERT_TRUE(left);
    EXPECT_GE(gone->ms, left->ms);
    EXPECT_LE(gone->ms - left->ms, 150) << "the hint stayed after the pointer left";
    const auto next = events.waitForHint(QEvent::Show);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->hint, "Save color value to a text file");
    ASSERT_TRUE(events.next(QEvent::MouseMove, form.btn7, beforeLeaving));
    EXPECT_GE(next->ms - events.lastMoveBefore(next->ms), 450);
    std::printf("hints: shown %lld ms after the rest began, for %lld ms; gone %lld ms after "
                "leaving; the next shown %lld ms after its rest began\n",
                shown->ms - events.lastMoveBefore(shown->ms), hidden->ms - shown->ms,
                gone->ms - left->ms, next->ms - events.lastMoveBefore(next->ms));

    // Controls other than buttons and the swatch have no hint: once Qt has asked
    // the edit box for one, none has shown.
    const size_t onTheBox = events.size();
    QCursor::setPos(form.edt2->mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return events.next(QEvent::ToolTip, form.edt2, onTheBox).has_value(); }, 10000));
    QCoreApplication::processEvents();
    EXPECT_FALSE(events.next(QEvent::Show, nullptr, onTheBox)) << "a hint showed over the box";
}
