// The window's pick on a wlroots compositor that never says a copy is ready
// (tests/support/with-test-compositor, mode silent): the window goes on
// meanwhile, the start gives up after its bound, and the window ends the pick
// as one that could not draw, with the fields as they were.
#include "PickerButtonTexts.h"
#include "QtPrinters.h"
#include "ShownFields.h"
#include "TestPlatform.h"
#include "frmMain/TButton.h"
#include "frmMain/TForm1.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(WlrootsStalledPick, ACompositorThatNeverAnswersEndsThePick)
{
    TestPlatform doubles;
    Platform platform = doubles.platform;
    platform.Picker = PickerMode::Wlroots;
    TForm1 form(platform);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const ShownFields before = ShownFields::of(form);
    int ticks = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++ticks; });
    other.start(50);
    QTest::mouseClick(form.btn6, Qt::LeftButton);
    // The event loop runs while the compositor keeps the copy.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3 || form.btn6->text() == Pick; }, 30000));
    EXPECT_EQ(form.btn6->text(), Stop) << "the window waited through the start";
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.btn6->text() == Pick; }, 30000));
    EXPECT_EQ(doubles.boxes.shown,
              (std::vector<RecordingMessageBoxes::Shown>{
                  {MessageBoxes::Kind::Error, QStringLiteral("Canvas does not allow drawing.")}}));
    EXPECT_EQ(ShownFields::of(form), before);
}
