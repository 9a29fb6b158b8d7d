// The desktop picker on real widgets with a scripted desktop.
#include "FormFixture.h"
#include "PickerButtonTexts.h"
#include "QtPrinters.h"
#include "ShownFields.h"
#include "frmMain/TButton.h"
#include "platform/x11/ThreadsOnOneCpu.h"

#include <QTimer>
#include <future>
#include <map>
#include <thread>

using Kind = MessageBoxes::Kind;
using Shown = RecordingMessageBoxes::Shown;
using Pixel = DesktopPixels::Pixel;
using Status = Pixel::Status;

class Picker : public FormFixture {
protected:
    // One tick as the timer delivers it. A stopped timer's ticks are dropped,
    // so the timer runs (its own ticks come only while the test waits).
    void tick()
    {
        if (!form->tmr1->isActive())
            form->tmr1->start();
        deliverTick();
    }
};

TEST_F(Picker, StartAndStopToggleTheCaptionAndReadNothing)
{
    EXPECT_EQ(form->btn6->text(), Pick);
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    EXPECT_TRUE(form->tmr1->isActive());
    EXPECT_EQ(form->tmr1->interval(), 50);
    EXPECT_EQ(form->btn6->text(), Stop);
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    EXPECT_FALSE(form->tmr1->isActive());
    EXPECT_EQ(form->btn6->text(), Pick);
    EXPECT_EQ(desktop.reads(), 0);
    EXPECT_EQ(form->CurrentColor(), 0);
}

TEST_F(Picker, ATickShowsThePixelUnderThePointerInEveryField)
{
    desktop.positions = {QPoint(1900, 7)};
    desktop.pixels = {{Status::Color, 0x123456}};
    tick();
    EXPECT_EQ(desktop.pixelPoints, std::vector<QPoint>{QPoint(1900, 7)});
    EXPECT_EQ(ShownFields::of(*form), ShownFields::consistentWith(0x123456));
    EXPECT_EQ(form->edt1->text(), "#563412");
    EXPECT_EQ(form->edt5->text(), "1193046");
}

// Once a live pick runs, the number boxes lay their texts out without the
// font's shaping rules: in the window's font still, and with their digits on
// the pixels a shaped text puts them.
TEST_F(Picker, NumberBoxesDrawTheirDigitsAsShapedTextWouldOnceSampling)
{
    const std::vector<TEdit*> numbers = {form->edt2, form->edt3, form->edt4, form->edt5,
                                         form->edt6, form->edt7, form->edt8};
    std::map<TEdit*, QFont> before;
    for (TEdit* box : numbers)
        before[box] = box->font();
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    for (TEdit* box : numbers) {
        SCOPED_TRACE(box->accessibleName().toStdString());
        const QFont unshaped = box->font();
        EXPECT_EQ(unshaped.styleStrategy() & QFont::PreferNoShaping, QFont::PreferNoShaping);
        QFont shaped = unshaped;
        shaped.setStyleStrategy(before[box].styleStrategy());
        EXPECT_EQ(shaped, before[box]);
        for (const char* digits : {"0123456789", "16777215", "-1", "240", "199"}) {
            box->QLineEdit::setText(QString::fromLatin1(digits));
            const QImage drawn = box->grab().toImage();
            box->setFont(shaped);
            EXPECT_EQ(drawn, box->grab().toImage()) << digits;
            box->setFont(unshaped);
        }
    }
    EXPECT_EQ(form->edt1->font().styleStrategy() & QFont::PreferNoShaping, 0);
}

TEST_F(Picker, TheHslBankFollowsLastAfterTheHexText)
{
    // Each change is recorded as it happens, before the box's own handler runs.
    std::vector<QString> changes;
    for (auto [box, name] : {std::pair{form->edt1, "edt1:"}, std::pair{form->edt2, "edt2:"},
                             std::pair{form->edt6, "edt6:"}}) {
        box->OnChange = [&changes, box, name, handler = box->OnChange](QObject* sender) {
            changes.push_back(name + box->text());
            if (handler)
                handler(sender);
        };
    }
    desktop.pixels = {{Status::Color, 0x0000FF}};
    tick();
    // The red box first, its nested run rewrites the hex text, then the hue.
    EXPECT_EQ(changes, (std::vector<QString>{"edt2:255", "edt1:#FF0000"}));
    desktop.pixels = {{Status::Color, 0x00FF00}};
    changes.clear();
    tick();
    EXPECT_EQ(changes, (std::vector<QString>{"edt2:0", "edt1:#000000", "edt1:#00FF00", "edt6:80"}));
}

TEST_F(Picker, TheLastTickBeforeTheStopDecidesTheColor)
{
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    desktop.pixels = {{Status::Color, 0x0000FF}, {Status::Color, 0x00FF00}};
    tick();
    tick();
    form->btn6->setFocus();
    QTest::keyClick(form->btn6, Qt::Key_Return, Qt::ShiftModifier); // does not stop
    EXPECT_TRUE(form->tmr1->isActive());
    QTest::keyClick(form->btn6, Qt::Key_Return);
    EXPECT_FALSE(form->tmr1->isActive());
    EXPECT_EQ(form->CurrentColor(), 0x00FF00);
    EXPECT_EQ(desktop.pixelReads(), 2);
}

TEST_F(Picker, EnterHeldDownStopsThePickOnce)
{
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    form->btn6->setFocus();
    QTest::keyPress(form->btn6, Qt::Key_Return);
    EXPECT_FALSE(form->tmr1->isActive());
    // The key's repeats, as the toolkit sends them while it is held.
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(form->btn6, &repeat);
    }
    QTest::keyRelease(form->btn6, Qt::Key_Return);
    EXPECT_FALSE(form->tmr1->isActive());
    EXPECT_EQ(form->btn6->text(), Pick);
}

TEST_F(Picker, AnUnreadablePixelLeavesEveryFieldAsItWas)
{
    desktop.pixels = {{Status::Color, 0x336699}, Pixel{Status::NoPixel}};
    tick();
    const ShownFields before = ShownFields::of(*form);
    tick();
    tick();
    EXPECT_EQ(ShownFields::of(*form), before);
    EXPECT_EQ(form->tb1->Position(), 0x99);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Picker, AFailedPointerReadSkipsTheTick)
{
    desktop.positions = {std::nullopt};
    tick();
    EXPECT_EQ(desktop.pixelReads(), 0);
    EXPECT_EQ(form->CurrentColor(), 0);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(Picker, AnUnreadableScreenIsReportedOncePerRunOfFailures)
{
    const Shown canvas{Kind::Error, "Canvas does not allow drawing."};
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    desktop.pixels = {Pixel{Status::NoAccess},
                      Pixel{Status::NoAccess},
                      Pixel{Status::NoAccess},
                      {Status::Color, 0x010203},
                      Pixel{Status::NoAccess}};
    for (int i = 0; i < 3; ++i)
        tick();
    EXPECT_EQ(boxes.shown, std::vector<Shown>{canvas});
    EXPECT_TRUE(form->tmr1->isActive());
    EXPECT_EQ(form->CurrentColor(), 0);

    tick(); // a read succeeds: the next failure is shown again
    EXPECT_EQ(form->CurrentColor(), 0x010203);
    tick();
    tick();
    EXPECT_EQ(boxes.shown, (std::vector<Shown>{canvas, canvas}));

    QTest::mouseClick(form->btn6, Qt::LeftButton); // stop and start again
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    tick();
    EXPECT_EQ(boxes.shown.size(), 3u);
}

// With no display the pointer read is the first to find the screen unreadable.
TEST_F(Picker, AnUnreadableScreenFoundByThePointerReadIsReportedOnce)
{
    const Shown canvas{Kind::Error, "Canvas does not allow drawing."};
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    desktop.positions.clear();
    for (int i = 0; i < 3; ++i)
        tick();
    EXPECT_EQ(boxes.shown, std::vector<Shown>{canvas});
    EXPECT_EQ(desktop.pixelReads(), 0);

    desktop.positions = {QPoint(1, 1)};
    desktop.pixels = {{Status::Color, 0x010203}};
    tick();
    EXPECT_EQ(form->CurrentColor(), 0x010203);
    desktop.positions.clear();
    tick();
    EXPECT_EQ(boxes.shown, (std::vector<Shown>{canvas, canvas}));
}

// The error box a tick opens is where the user is while sampling goes on.
TEST_F(Picker, SamplingGoesOnInsideTheErrorBoxOfATick)
{
    desktop.pixels = {Pixel{Status::NoAccess}, Pixel{Status::NoAccess}, {Status::Color, 0x0A0B0C}};
    int readsWhileOpen = 0;
    HSLUtils::TColor colorWhileOpen = 0;
    boxes.whileShown = [&](Kind, const QString&) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.pixelReads() >= 4; }, 10000));
        readsWhileOpen = desktop.pixelReads();
        colorWhileOpen = form->CurrentColor();
    };
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return readsWhileOpen > 0; }, 15000));
    EXPECT_GE(readsWhileOpen, 4);
    EXPECT_EQ(colorWhileOpen, 0x0A0B0C);
    EXPECT_EQ(boxes.shown, (std::vector<Shown>{{Kind::Error, "Canvas does not allow drawing."}}));
}

// Ticks come from the event loop, so they go on while a modal box waits.
TEST_F(Picker, SamplingGoesOnBehindAMessageBox)
{
    desktop.pixels = {{Status::Color, 0x0A0B0C}};
    int readsWhileOpen = 0;
    boxes.whileShown = [&](Kind, const QString&) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.pixelReads() >= 1; }, 10000));
        readsWhileOpen = desktop.pixelReads();
    };
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    QTest::mouseClick(form->btn3, Qt::LeftButton); // About, open until a tick has read
    EXPECT_GE(readsWhileOpen, 1);
    EXPECT_EQ(form->CurrentColor(), 0x0A0B0C);
    EXPECT_EQ(form->edt1->text(), "#0C0B0A");
}

namespace {
std::vector<int> AllowedCpus(pid_t thread)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    sched_getaffinity(thread, sizeof set, &set);
    std::vector<int> cpus;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &set))
            cpus.push_back(cpu);
    }
    return cpus;
}
} // namespace

// Sampling keeps the threads on one CPU; stopping gives each its own CPUs back,
// and one started meanwhile those of the main thread.
TEST_F(Picker, SamplingKeepsEveryThreadOnOneCpuUntilItStops)
{
    std::map<pid_t, std::vector<int>> before;
    for (const pid_t thread : ThreadsOnOneCpu::Threads())
        before[thread] = AllowedCpus(thread);
    QTest::mouseClick(form->btn6, Qt::LeftButton);
    for (const pid_t thread : ThreadsOnOneCpu::Threads())
        EXPECT_EQ(AllowedCpus(thread), std::vector<int>{sched_getcpu()}) << "thread " << thread;
    std::promise<pid_t> lateId;
    std::promise<void> end;
    std::thread late([&] {
        lateId.set_value(gettid());
        end.get_future().wait();
    });
    const pid_t lateThread = lateId.get_future().get();

    QTest::mouseClick(form->btn6, Qt::LeftButton);
    for (const auto& [thread, cpus] : before)
        EXPECT_EQ(AllowedCpus(thread), cpus) << "thread " << thread;
    EXPECT_EQ(AllowedCpus(lateThread), before[gettid()]);
    end.set_value();
    late.join();
}
