// The picker through the desktop portal: the program's own D-Bus client
// against a stand-in portal on a private bus (tests/support/with-fake-portal),
// which records the calls and checks that the program listened for the answer
// before it asked. Each suite runs under its own wrapper (see CMakeLists.txt).
#include "PickerButtonTexts.h"
#include "QtPrinters.h"
#include "ShownFields.h"
#include "TestPlatform.h"
#include "app/DesktopPlatform.h"
#include "app/StartUp.h"
#include "frmMain/TButton.h"
#include "frmMain/TForm1.h"
#include "platform/portal/QtDBusColorPortal.h"

#include <QApplication>
#include <QDBusInterface>
#include <QDBusReply>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using Kind = MessageBoxes::Kind;
using Shown = RecordingMessageBoxes::Shown;

namespace {

const Shown Canvas{Kind::Error, "Canvas does not allow drawing."};
// The fake's "color" answer, (0.2, 0.4, 0.6): red 51, green 102, blue 153.
constexpr HSLUtils::TColor Picked = 0x996633;

// The stand-in portal's test interface.
class FakePortal {
public:
    void script(const QString& name) { call("Script", name); }
    void vanish() { call("Vanish"); }
    void comeBack() { call("Return"); }
    QStringList calls()
    {
        const QDBusReply<QStringList> reply = control.call(QStringLiteral("Calls"));
        EXPECT_TRUE(reply.isValid()) << reply.error().message().toStdString();
        return reply.value();
    }
    // The one PickColor call made since the last script, or "" when none.
    QString pickColorCall()
    {
        const QStringList picks = calls().filter(QRegularExpression("^(impl )?PickColor "));
        EXPECT_LE(picks.size(), 1) << picks.join('\n').toStdString();
        return picks.value(0);
    }
    // Waits until the fake has answered since the last script, and the answer
    // has reached the program; false when no answer came.
    bool waitForAnswer()
    {
        const bool sent =
            QTest::qWaitFor([&] { return !calls().filter("Response ").isEmpty(); }, 10000);
        // The answer came in before the reply that listed it: it is delivered now.
        QCoreApplication::processEvents();
        return sent;
    }

private:
    template <class... Args> void call(const char* method, Args... args)
    {
        const QDBusMessage reply = control.call(QString::fromLatin1(method), args...);
        ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
    }
    QDBusInterface control{"org.huvella.test.FakePortal", "/org/huvella/test",
                           "org.huvella.test.FakePortal"};
};

// What the program must pass as its window: its X11 id on X11, nothing elsewhere.
QString expectedParent(const QWidget& window)
{
    if (QGuiApplication::platformName() == "xcb")
        return "x11:" + QString::number(window.winId(), 16);
    return {};
}

bool waitForCaption(const TForm1& form, const QString& caption)
{
    return QTest::qWaitFor([&] { return form.btn6->text() == caption; }, 5000);
}

} // namespace

class PortalPick : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TForm1>(platform);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        fake.script("color");
    }

    // Clicks the picker button, which must show the picking caption at once.
    void startPick()
    {
        QTest::mouseClick(form->btn6, Qt::LeftButton);
        EXPECT_EQ(form->btn6->text(), Stop);
    }

    TestPlatform doubles;
    QtDBusColorPortal portal;
    Platform platform = doubles.with(portal);
    FakePortal fake;
    std::unique_ptr<TForm1> form;
};

TEST_F(PortalPick, EachAnswerOfThePortal)
{
    struct Row {
        const char* script;
        std::optional<HSLUtils::TColor> color; // nullopt: every field stays
        bool failure;                          // "Canvas does not allow drawing." once
    };
    const Row rows[] = {
        {"color", Picked, false},
        {"cancel", std::nullopt, false},
        {"other", std::nullopt, true}, // response 2
        {"error", std::nullopt, true}, // PickColor answered by a D-Bus error
        {"version1", std::nullopt, true},
        {"absent", std::nullopt, true}, // no portal on the bus
        {"nan", std::nullopt, true},
        {"infinite", std::nullopt, true},
        {"missing", std::nullopt, true},
        {"text", std::nullopt, true},
        {"two", std::nullopt, true},
        {"integers", std::nullopt, true},
        {"array", std::nullopt, true},
        // 1.0000001, -0.0000001, 0.5: clamped to 255 and 0; 127.5 rounds to the even 128.
        {"clamped", 0x8000FF, false},
        {"outside", std::nullopt, true}, // 1.002: more than half a step above 1
        {"far", std::nullopt, true},     // 1e308, -1e308, 5e-324
        {"elsewhere", Picked, false}, // the portal answers on a path of its own
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.script);
        const QString script = row.script;
        fake.script(script == "absent" ? "color" : script);
        if (script == "absent")
            fake.vanish();
        const ShownFields before = ShownFields::of(*form);
        const HSLUtils::TColor colorBefore = form->CurrentColor();
        doubles.boxes.shown.clear();

        startPick();
        EXPECT_TRUE(waitForCaption(*form, Pick));
        // Nothing more follows the answer, when there is one.
        if (script == "error" || script == "version1" || script == "absent")
            QCoreApplication::processEvents();
        else
            EXPECT_TRUE(fake.waitForAnswer());

        EXPECT_EQ(ShownFields::of(*form),
                  row.color ? ShownFields::consistentWith(*row.color) : before);
        EXPECT_EQ(form->CurrentColor(), row.color.value_or(colorBefore));
        EXPECT_EQ(doubles.boxes.shown,
                  row.failure ? std::vector<Shown>{Canvas} : std::vector<Shown>{});
        if (script == "absent") {
            fake.comeBack();
            continue;
        }
        const QString call = fake.pickColorCall();
        if (script == "version1") {
            EXPECT_EQ(call, "") << "PickColor called on a portal of version 1";
            continue;
        }
        EXPECT_TRUE(call.startsWith("PickColor parent=" + expectedParent(*form) + " token=huvella"))
            << call.toStdString();
        EXPECT_TRUE(call.endsWith(" subscribed=yes")) << call.toStdString();
    }
}

// The portal answers the call with a handle, then leaves the bus: the pick
// ends as a failed one, once, and the next goes through when it is back.
TEST_F(PortalPick, APortalThatLeavesTheBusEndsThePick)
{
    fake.script("vanish");
    const ShownFields before = ShownFields::of(*form);
    startPick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.calls().filter("Vanished").isEmpty(); }, 5000));
    EXPECT_TRUE(waitForCaption(*form, Pick));
    EXPECT_EQ(ShownFields::of(*form), before);
    EXPECT_EQ(doubles.boxes.shown, std::vector<Shown>{Canvas});

    fake.comeBack();
    fake.script("color");
    doubles.boxes.shown.clear();
    startPick();
    EXPECT_TRUE(waitForCaption(*form, Pick));
    EXPECT_EQ(ShownFields::of(*form), ShownFields::consistentWith(Picked));
    EXPECT_TRUE(doubles.boxes.shown.empty());
}

// The fake answers 600 ms after the call whether closed or not: a closed
// pick must drop that answer.
TEST_F(PortalPick, ASecondActivationClosesAnOpenPick)
{
    for (const bool byEnter : {false, true}) {
        SCOPED_TRACE(byEnter ? "Enter" : "click");
        fake.script("slow");
        startPick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.pickColorCall().isEmpty(); }, 5000));
        if (byEnter) {
            form->btn6->setFocus();
            QTest::keyClick(form->btn6, Qt::Key_Return);
        } else {
            QTest::mouseClick(form->btn6, Qt::LeftButton);
        }
        EXPECT_EQ(form->btn6->text(), Pick);
        ASSERT_TRUE(fake.waitForAnswer()); // the late answer, to a closed pick
        EXPECT_EQ(ShownFields::of(*form), ShownFields::consistentWith(0));
        EXPECT_TRUE(doubles.boxes.shown.empty());
        const QString token = fake.pickColorCall().section(" token=", 1).section(' ', 0, 0);
        const QStringList closes = fake.calls().filter("Close ");
        ASSERT_EQ(closes.size(), 1) << fake.calls().join('\n').toStdString();
        EXPECT_TRUE(closes.front().endsWith("/" + token)) << closes.front().toStdString();
    }
    fake.script("color"); // and the next pick goes through
    startPick();
    EXPECT_TRUE(waitForCaption(*form, Pick));
    EXPECT_EQ(ShownFields::of(*form), ShownFields::consistentWith(Picked));
}

TEST_F(PortalPick, ExitWithAPickOpenClosesIt)
{
    fake.script("slow");
    startPick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.pickColorCall().isEmpty(); }, 5000));
    QTest::mouseClick(form->btn4, Qt::LeftButton); // Exit
    EXPECT_FALSE(form->isVisible());
    form.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fake.calls().filter("Close ").isEmpty(); }, 5000));
    ASSERT_TRUE(fake.waitForAnswer()); // the late answer comes to a portal with nothing open
    EXPECT_FALSE(portal.isPicking());
    EXPECT_TRUE(doubles.boxes.shown.empty());
}

// A picked color goes through the same routines in the same order as a pixel
// that a sampling tick reads: the same boxes change, to the same texts.
TEST(PortalPickOrder, APickedColorIsShownAsATickShowsItsPixel)
{
    auto changesOf = [](auto&& take) {
        TestPlatform doubles;
        Platform platform = doubles.with(doubles.portal);
        TForm1 form(platform);
        form.show();
        QStringList changes;
        for (TEdit* box : {form.edt1, form.edt2, form.edt3, form.edt4, form.edt5, form.edt6,
                           form.edt7, form.edt8}) {
            box->OnChange = [&changes, box, handler = box->OnChange](QObject* sender) {
                changes << box->accessibleName() + ": " + box->text();
                if (handler)
                    handler(sender);
            };
        }
        for (const HSLUtils::TColor color : {0x0000FF, 0x00FF00, 0x123456, 0x123456})
            take(form, doubles, color);
        return changes;
    };
    const QStringList byTick = changesOf([](TForm1& form, TestPlatform& doubles, int color) {
        doubles.desktop.pixels = {{DesktopPixels::Pixel::Status::Color, color}};
        form.tmr1->start(); // a stopped timer's ticks are dropped
        ASSERT_TRUE(QMetaObject::invokeMethod(form.tmr1, "timeout"));
        QCoreApplication::sendPostedEvents(&form, QEvent::MetaCall);
    });
    const QStringList byPortal = changesOf([](TForm1& form, TestPlatform& doubles, int color) {
        form.btn6->click();
        ASSERT_EQ(doubles.portal.parents,
                  std::vector<const QWindow*>(doubles.portal.parents.size(), form.windowHandle()));
        doubles.portal.answer({ColorPortal::Answer::Kind::Color, color});
        EXPECT_EQ(form.btn6->text(), Pick);
    });
    EXPECT_FALSE(byTick.isEmpty());
    EXPECT_EQ(byPortal, byTick);
}

// The real frontend, xdg-desktop-portal, between the program and the fake
// backend: the answer goes through it unchanged.
TEST_F(PortalPick, ThroughTheDesktopPortalFrontend)
{
    for (const char* script : {"color", "cancel"}) {
        SCOPED_TRACE(script);
        fake.script(script);
        startPick();
        EXPECT_TRUE(waitForCaption(*form, Pick));
        EXPECT_EQ(ShownFields::of(*form), ShownFields::consistentWith(Picked));
        EXPECT_TRUE(doubles.boxes.shown.empty());
        EXPECT_EQ(fake.pickColorCall(), "impl PickColor parent=" + expectedParent(*form));
    }
}

// The program as it starts on a Wayland session: its own services, the
// picker mode the session gives, a native Wayland window.
TEST(PortalWayland, TheWindowAndThePickOnWayland)
{
    ASSERT_EQ(QGuiApplication::platformName(), "wayland");
    ConfigureApplication(*qApp);
    DesktopPlatform desktop; // Auto
    EXPECT_EQ(desktop.platform.Picker, PickerMode::Portal);
    TForm1 form(desktop.platform);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.size(), QSize(250, 428));
    EXPECT_EQ(form.windowHandle()->minimumSize(), QSize(250, 428));
    EXPECT_EQ(form.windowHandle()->maximumSize(), QSize(250, 428));

    FakePortal fake;
    fake.script("color");
    QTest::mouseClick(form.btn6, Qt::LeftButton);
    EXPECT_EQ(form.btn6->text(), Stop);
    EXPECT_TRUE(waitForCaption(form, Pick));
    EXPECT_EQ(ShownFields::of(form), ShownFields::consistentWith(Picked));
    EXPECT_EQ(form.CurrentColor(), Picked);
    const QString call = fake.pickColorCall();
    EXPECT_TRUE(call.startsWith("PickColor parent= token=huvella")) << call.toStdString();
    EXPECT_TRUE(call.endsWith(" subscribed=yes")) << call.toStdString();
    if (const QByteArray shot = qgetenv("HUVELLA_SCREENSHOT"); !shot.isEmpty())
        form.grab().save(QString::fromLocal8Bit(shot));
}
